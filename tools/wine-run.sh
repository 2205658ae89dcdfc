#!/usr/bin/env bash
# Runs a Windows test program under Wine (the cross-compiling emulator of the mingw-x64 build).
# wine64 exits 0 even when a program fails to load, so the verdict is the program's own: the run
# passes only when the last line of its output is exactly "REVIVIX-TEST PASS".
# Environment: REVIVIX_WINE_TIMEOUT (seconds, default 150). Under a stage's own wineserver
# (REVIVIX_WINE_SERVED, scripts/wine-env.sh) the server stays and what the test left running ends.
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
if [ -n "${REVIVIX_WINE_SERVED:-}" ]; then
  # The stage keeps one wineserver: only what this test left running ends.
  [ "$status" -ne 124 ] && [ "$status" -ne 137 ] || echo "wine-run: timed out" >&2
  revivix_wine_end_leftovers
else
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "wine-run: timed out" >&2
    "$REVIVIX_WINESERVER" -k 2>/dev/null || true
  fi
  revivix_wine_stop
fi

last=$(tr -d '\r' <"$log" | sed '/^$/d' | tail -n 1)
[ "$last" = "REVIVIX-TEST PASS" ] && [ "$status" -eq 0 ] && exit 0
if tr -d '\r' <"$log" | grep -qx "REVIVIX-TEST PASS"; then
  # The checks passed; what came after them did not.
  # Wine's debugger writes its report of a crash to the program's output, and the program's exit
  # status is then 0: the report, not the status, tells the crash.
  if tr -d '\r' <"$log" | sed -n '/^REVIVIX-TEST PASS$/,$p' | grep -q '^Unhandled exception'; then
    echo "wine-run: FAIL: printed its pass line, then crashed while ending (Wine's report above)" >&2
    exit 1
  fi
  case $status in
    124 | 137) echo "wine-run: FAIL: printed its pass line, then did not end within the time limit (hung on exit)" >&2 ;;
    0) echo "wine-run: FAIL: printed its pass line, then more output (last line: '$last')" >&2 ;;
    *) echo "wine-run: FAIL: printed its pass line, then ended with status $status (a crash or failure while ending)" >&2 ;;
  esac
  exit 1
fi
echo "wine-run: no pass line (wine exit status $status, last line: '$last')" >&2
exit 1
