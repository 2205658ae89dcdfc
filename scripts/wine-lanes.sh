#!/usr/bin/env bash
# The Wine suites of both Windows programs in four lanes at once: for each program (mingw-x64 and
# mingw-i686) the roads (the tests of the roads' and network sites, the keyboard, the updater
# automation, the text fit) and the rest, about the same time each. A site fixture belongs to one
# lane only, so no site is started twice. Each lane has its own Wine prefix (a clone of the
# prepared one), wineserver and X display; its output goes to build/lane-NAME.log, shown when the
# lane ends, and its time to build/lane-NAME.time.
#
# scripts/test.sh sources it. Run by itself, it runs the lanes of the programs already built
# (after scripts/test.sh or the mingw presets' builds) and prints each lane's time, for example to
# run the Wine stage again on a machine under load.

# Runs a ctest selection under Wine on a virtual X display, with one wineserver for the whole
# selection (tools/wine-run.sh ends what each test leaves running). The first argument picks the
# display: -a for any free one, -n N for server number N.
wine_ctest() {
  local display=("$1")
  [ "$1" = -a ] || { display=("$1" "$2"); shift; }
  shift
  xvfb-run "${display[@]}" -s "-screen 0 1024x768x24" bash -c '
    source scripts/wine-env.sh
    revivix_wine_serve || exit 1
    status=0
    ctest "$@" || status=$?
    revivix_wine_unserve
    exit "$status"' wine_ctest "$@"
}

lanes=() lane_pids=() lane_times=() displays_taken=()
# A free X server number, chosen before a lane starts so that lanes starting together never race
# for one (the caller records it in displays_taken).
free_display() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] ||
    [[ " ${displays_taken[*]} " == *" $n "* ]]; do
    n=$((n + 1))
  done
  echo "$n"
}
# start_lane NAME CTEST-ARGUMENTS...: the lane runs in the background.
start_lane() {
  local name=$1 display
  shift
  display=$(free_display)
  displays_taken+=("$display")
  (
    start=$(date +%s)
    status=0
    (revivix_wine_lane "$name" && wine_ctest -n "$display" "$@") >"build/lane-$name.log" 2>&1 ||
      status=$?
    echo $(($(date +%s) - start)) >"build/lane-$name.time"
    exit "$status"
  ) &
  lanes+=("$name")
  lane_pids+=($!)
}
roads='^win32_(roads?_|network_site_|keyboard_|updater_|text_fit_)'
# start_program_lanes WIDTH [CTEST-ARGUMENTS...]: the two lanes of mingw-WIDTH.
start_program_lanes() {
  local width=$1
  shift
  start_lane "$width-roads" --preset "mingw-$width" -R "$roads" "$@"
  start_lane "$width-rest" --preset "mingw-$width" -E "$roads" "$@"
}
# Waits for every lane started, shows its output, records its time in lane_times; returns the
# status of the last lane that failed (0 when all passed).
wait_lanes() {
  local i lane lane_status result=0
  for i in "${!lanes[@]}"; do
    lane=${lanes[$i]}
    lane_status=0
    wait "${lane_pids[$i]}" || lane_status=$?
    echo "== lane $lane ($(cat "build/lane-$lane.time") s, status $lane_status)"
    cat "build/lane-$lane.log"
    lane_times+=("$(printf '%6ds    lane %s' "$(cat "build/lane-$lane.time")" "$lane")")
    [ "$lane_status" -eq 0 ] || result=$lane_status
  done
  lanes=() lane_pids=()
  return "$result"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  cd "$(dirname "$0")/.."
  # shellcheck source=scripts/wine-env.sh
  source scripts/wine-env.sh
  revivix_wine_prefix || exit 1
  start=$(date +%s)
  start_program_lanes x64
  if revivix_runs_32bit; then start_program_lanes i686; else start_program_lanes i686 -L static; fi
  status=0
  wait_lanes || status=$?
  echo "== time per lane"
  printf '%s\n' "${lane_times[@]}"
  printf '%6ds  the Wine lanes\n' $(($(date +%s) - start))
  exit "$status"
fi
