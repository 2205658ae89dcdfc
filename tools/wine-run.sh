#!/usr/bin/env bash
# Runs a Windows test program under Wine (the cross-compiling emulator of the mingw-x64 build).
# wine64 exits 0 even when a program fails to load, so the verdict is the program's own: the run
# passes only when the last line of its output is exactly "REVIVIX-TEST PASS".
# Environment: REVIVIX_WINE_TIMEOUT (seconds, default 150).
set -u
REVIVIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=../scripts/wine-env.sh
. "$REVIVIX_ROOT/scripts/wine-env.sh"

if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh program.exe [arguments...]" >&2
  exit 2
fi

revivix_wine_prefix || { echo "wine-run: no Wine prefix"; exit 1; }
if revivix_pe_is_32bit "$1" && ! revivix_runs_32bit; then
  revivix_say_no_32bit
  echo "wine-run: $(basename "$1") is a 32-bit program and cannot run on this machine" >&2
  exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
timeout -k 10 "${REVIVIX_WINE_TIMEOUT:-150}" "$REVIVIX_WINE64" "$@" | tee "$log"
status=${PIPESTATUS[0]}
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "wine-run: timed out" >&2
  "$REVIVIX_WINESERVER" -k 2>/dev/null || true
fi
revivix_wine_stop

last=$(tr -d '\r' <"$log" | sed '/^$/d' | tail -n 1)
if [ "$last" = "REVIVIX-TEST PASS" ]; then
  exit 0
fi
echo "wine-run: no pass line (wine exit status $status, last line: '$last')" >&2
exit 1
