#!/usr/bin/env bash
# Builds and runs the Wine benchmark of the updater polling (bench/win32/updater_poll_bench.cpp)
# and prints its figures: the cost of one Timer5 tick with 20 and 200 other top-level windows,
# and the share of one core that the polling wizard and the wineserver use during 30 s with 50
# other windows (against a 10 s idle baseline with the same windows).
# Usage: scripts/bench-updater-poll.sh [seconds=30] [windows=50]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
INNER=0
if [ "${1:-}" = "--inner" ]; then
  INNER=1
  shift
fi
SECONDS_POLL=${1:-30}
WINDOWS=${2:-50}
cd "$ROOT"
B="$ROOT/build/mingw-x64"
BENCH="$B/bench/win32/updater_poll_bench.exe"
FORMAT="$B/updaters/revivix-updater-format.exe"
UPGRADE="$B/updaters/revivix-updater-upgrade.exe"

# The run happens inside xvfb-run; this inner part samples the wineserver's CPU time.
inner() {
  # shellcheck source=wine-env.sh
  . "$ROOT/scripts/wine-env.sh"
  revivix_wine_prefix
  echo "== one Timer5 tick"
  timeout 300 "$REVIVIX_WINE64" "$BENCH" "$FORMAT" "$UPGRADE" tick | tr -d '\r'
  revivix_wine_stop
  echo "== polling for ${SECONDS_POLL} s with ${WINDOWS} other windows"
  local hz server t0 t1 name
  hz=$(getconf CLK_TCK)
  # The wineserver of this prefix: the one whose environment names it.
  server_pid() {
    local p
    for p in $(pgrep -x 'wineserver(64)?' || true); do
      if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        echo "$p"
        return
      fi
    done
  }
  cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
  timeout 300 "$REVIVIX_WINE64" "$BENCH" "$FORMAT" "$UPGRADE" poll "$SECONDS_POLL" "$WINDOWS" |
    while IFS= read -r line; do
      line=${line%$'\r'}
      case "$line" in
        "PHASE "*" start")
          server=$(server_pid)
          t0=0
          [ -n "$server" ] && t0=$(cpu_ticks "$server")
          s0=$(date +%s.%N)
          ;;
        "PHASE "*" end")
          name=${line#PHASE }
          name=${name% end}
          if [ -z "$server" ]; then
            echo "$name: the wineserver of $WINEPREFIX was not found"
            continue
          fi
          t1=$(cpu_ticks "$server")
          s1=$(date +%s.%N)
          awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s0="$s0" -v s1="$s1" -v n="$name" \
            'BEGIN { c = (b - a) / hz; w = s1 - s0;
                     printf "%s: wineserver %.3f s CPU in %.1f s = %.2f %% of one core\n", n, c, w, 100 * c / w }'
          ;;
        *) echo "$line" ;;
      esac
    done
  revivix_wine_stop
}
if [ "$INNER" = 1 ]; then
  inner
  exit 0
fi
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 -j2 --target updater_poll_bench >/dev/null
timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner "$SECONDS_POLL" "$WINDOWS"
