#!/usr/bin/env bash
# The local maker site of the download tests: serves a copy of download-site/ from the build tree
# with the stand-in updater in place, or stops it.
# Every scenario gets the demo site's player database, so the real program can identify its player
# there before Accept reads the scenario's link page.
#   download-site.sh start BUILD_FOLDER SOURCE_FOLDER RECORDER_EXE
#   download-site.sh stop BUILD_FOLDER
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
site_ctl=$here/../../tools/site/site-ctl.sh
case "${1:-}" in
  start)
    build=$2 source=$3 recorder=$4
    rm -rf "$build/root"
    mkdir -p "$build"
    cp -r "$source" "$build/root"
    mkdir -p "$build/root/ok/revivix/fw/files" "$build/root/nolength/revivix/fw/files" \
      "$build/root/stalled/revivix/fw/files"
    cp "$recorder" "$build/root/ok/revivix/fw/files/FC200_Updater.exe"
    cp "$recorder" "$build/root/stalled/revivix/fw/files/FC200_Updater.exe"
    cp "$recorder" "$build/root/nolength/revivix/fw/files/upd.exe"
    database=$here/../../tools/site/demo/revivix/database
    if [ -d "$database" ]; then
      for scenario in "$build"/root/*/revivix; do cp -r "$database" "$scenario/"; done
    fi
    "$site_ctl" start "$build/root" "$build/state"
    ;;
  stop)
    "$site_ctl" stop "$2/state"
    ;;
  *)
    echo "usage: download-site.sh start BUILD SOURCE RECORDER | stop BUILD" >&2
    exit 2
    ;;
esac
