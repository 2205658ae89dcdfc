#!/usr/bin/env bash
# The local maker site for the HTML engine's contract test.
#   html-site.sh start STATE_DIR   builds the site in STATE_DIR/root (the browser-captured pages,
#                                  the pages of tests/fixtures/html-site and a page larger than
#                                  the engine reads) and serves it; STATE_DIR/port holds the port
#   html-site.sh stop STATE_DIR    ends it
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
state=$2
case "$1" in
  start)
    rm -rf "$state/root"
    mkdir -p "$state/root"
    cp "$repo"/tests/fixtures/html/*.htm "$repo"/tests/fixtures/html-site/* "$state/root/"
    # 9 MiB of database-like lines inside pre: the engine keeps the first 8 MiB.
    python3 - "$state/root/big.htm" <<'PY'
import sys
line = b"PID_4157,Zanterix Fernclip 200,1,10,MTP,N/A,/fw/fc200.htm,x,x,-,T,x,1.0,x\n"
with open(sys.argv[1], "wb") as f:
    f.write(b"<pre>")
    f.write(line * (9 * 1024 * 1024 // len(line) + 1))
PY
    "$repo/tools/site/site-ctl.sh" start "$state/root" "$state"
    ;;
  stop)
    "$repo/tools/site/site-ctl.sh" stop "$state"
    ;;
  *)
    echo "usage: html-site.sh start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
