#!/usr/bin/env bash
# Builds fernclip.exe and measures under Wine what a page wait costs: the share of one core that
# the wizard and the wineserver use while the start-up checks wait 20 s for a slow database page,
# beside the share they use afterwards, idle on the update notice that the page announces.
# Prints the figures for a reader and one REVIVIX-BENCH line per figure for scripts/bench.sh:
#   REVIVIX-BENCH <TAB> row <TAB> figure <TAB> goal or "-" <TAB> figure/goal or "-"
# Usage: scripts/bench-page-wait.sh [wait-seconds=20] [idle-seconds=10]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
INNER=0
if [ "${1:-}" = "--inner" ]; then
  INNER=1
  shift
fi
WAIT_S=${1:-20}
IDLE_S=${2:-10}
GOAL=2  # % of one core for wizard and wineserver together during a page wait
B="$ROOT/build/mingw-x64"
WORK="$B/bench/page-wait"

inner() {
  # shellcheck source=wine-env.sh
  . "$ROOT/scripts/wine-env.sh"
  revivix_wine_prefix
  local hz port folder
  hz=$(getconf CLK_TCK)
  port=$(cat "$WORK/state/port")
  folder="$WORK/app"
  # Windows 5.1, which the wizard supports, for fernclip.exe only (removed again at the end).
  local appkey='HKCU\Software\Wine\AppDefaults\fernclip.exe'
  timeout 120 "$REVIVIX_WINE64" reg add "$appkey" /v Version /d winxp /f >/dev/null 2>&1
  revivix_wine_stop
  # The process of this prefix with the given name: the one whose environment names the prefix.
  of_prefix() {
    local p
    for p in $(pgrep -x "$1" || true); do
      if { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        echo "$p"
        return
      fi
    done
  }
  ticks() { [ -n "$1" ] && awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
  (cd "$folder" && timeout 300 "$REVIVIX_WINE64" "$folder/fernclip.exe" >/dev/null 2>&1) &
  local runner=$!
  local wizard="" server=""
  for _ in $(seq 300); do
    wizard=$(of_prefix 'fernclip.exe')
    [ -n "$wizard" ] && break
    sleep 0.1
  done
  server=$(of_prefix 'wineserver(64)?')
  if [ -z "$wizard" ] || [ -z "$server" ]; then
    echo "bench-page-wait: the wizard or the wineserver of $WINEPREFIX was not found" >&2
    kill "$runner" 2>/dev/null || true
    revivix_wine_stop
    return 1
  fi
  # The start-up checks reach the database page's wait within a second or two.
  sleep 4
  measure() {  # name seconds -> "wizard% server%"
    local w0 s0 w1 s1 t0 t1
    w0=$(ticks "$wizard")
    s0=$(ticks "$server")
    t0=$(date +%s.%N)
    sleep "$2"
    w1=$(ticks "$wizard")
    s1=$(ticks "$server")
    t1=$(date +%s.%N)
    awk -v a="$w0" -v b="$w1" -v c="$s0" -v d="$s1" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
      'BEGIN { w = t1 - t0; printf "%.2f %.2f\n", 100 * (b - a) / hz / w, 100 * (d - c) / hz / w }'
  }
  local during idle started answered total
  started=$(date +%s)
  during=$(measure wait "$WAIT_S")
  # The page arrives (the site logs the request as it answers); then the wizard sits on the
  # update notice, which stops the detection tick.
  for _ in $(seq 300); do
    grep -q "Fernclip_database.htm" "$WORK/state/requests.log" 2>/dev/null && break
    sleep 0.1
  done
  answered=$(($(date +%s) - started))
  sleep 2
  idle=$(measure idle "$IDLE_S")
  total=$(awk -v t="$(ticks "$wizard")" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }')
  # For the reader: the page came after the measured wait, and the process measured is the
  # wizard (it has used processor time for its start-up).
  echo "the database page arrived ${answered} s after the measurement began; the wizard (pid $wizard) used ${total} s of CPU in all" >&2
  "$REVIVIX_WINESERVER" -k 2>/dev/null || true
  wait "$runner" 2>/dev/null || true
  revivix_wine_stop
  timeout 120 "$REVIVIX_WINE64" reg delete "$appkey" /f >/dev/null 2>&1
  revivix_wine_stop
  echo "$during $idle"
}

if [ "$INNER" = 1 ]; then
  inner
  exit $?
fi

cd "$ROOT"
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 -j2 --target fernclip >/dev/null

# A runnable folder of its own and a site whose database page takes WAIT_S + 7 s (the measured
# wait lies inside) and announces a newer version.
rm -rf "$WORK"
mkdir -p "$WORK/site/revivix/database" "$WORK/state"
cp -r "$B/bin" "$WORK/app"
printf '[Settings]\r\nRegion=Europe\r\nLanguage=English\r\n' >"$WORK/app/settings.ini"
"$ROOT/tools/site/site-ctl.sh" start "$WORK/site" "$WORK/state" >/dev/null
trap '"$ROOT/tools/site/site-ctl.sh" stop "$WORK/state"' EXIT
port=$(cat "$WORK/state/port")
printf '[Site]\r\nAddress=http://127.0.0.1:%s\r\n' "$port" >"$WORK/app/site.ini"
printf '<html><body>PID_4157,Zanterix Fernclip 200,2,10,MSC,N/A,/fw/a.htm,x,x,-,T,x,999,http://127.0.0.1/new<br>\r\nend</body></html>\r\n' \
  >"$WORK/site/revivix/database/Fernclip_database.htm"
printf '{"/Fernclip_database.htm": {"delay_ms": %d}}\n' $(((WAIT_S + 7) * 1000)) \
  >"$WORK/site/revivix/database/site-rules.json"

read -r wait_wizard wait_server idle_wizard idle_server < <(
  timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner "$WAIT_S" "$IDLE_S")
sum() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a + b }'; }
wait_both=$(sum "$wait_wizard" "$wait_server")
idle_both=$(sum "$idle_wizard" "$idle_server")
ratio=$(awk -v a="$wait_both" -v g="$GOAL" 'BEGIN { printf "%.2f", a / g }')

echo "== page wait of ${WAIT_S} s (start-up checks waiting for the database page)"
echo "wizard ${wait_wizard} %, wineserver ${wait_server} %, together ${wait_both} % of one core (goal: under ${GOAL} %)"
echo "== idle for ${IDLE_S} s on the update notice"
echo "wizard ${idle_wizard} %, wineserver ${idle_server} %, together ${idle_both} % of one core"
t=$'\t'
echo "REVIVIX-BENCH${t}page wait: wizard + wineserver CPU${t}${wait_both} % of a core${t}goal ${GOAL} %${t}${ratio}"
echo "REVIVIX-BENCH${t}page wait: wizard CPU${t}${wait_wizard} % of a core${t}-${t}-"
echo "REVIVIX-BENCH${t}page wait: wineserver CPU${t}${wait_server} % of a core${t}-${t}-"
echo "REVIVIX-BENCH${t}idle: wizard + wineserver CPU${t}${idle_both} % of a core${t}-${t}-"
