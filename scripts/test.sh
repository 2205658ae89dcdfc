#!/usr/bin/env bash
# Installs what is needed, builds every preset and runs every test: the native tests (plain and
# under AddressSanitizer/UndefinedBehaviorSanitizer), the release files (built once, by
# scripts/release.sh), the Win32 tests of the real fernclip.exe for x86_64 and for 32-bit Windows
# (the product) and the release under Wine with a virtual X display. Both Windows builds share one
# Wine prefix, which can load 32-bit programs. On a machine whose kernel runs no 32-bit x86 code,
# the 32-bit program's tests under Wine cannot start: the run then names each of them at its end.
# Ends with the time each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."

run_start=$(date +%s)
stage_name=""
stage_start=$run_start
stage_times=()
# Starts the next stage and records the time of the one before.
stage() {
  local now
  now=$(date +%s)
  [ -z "$stage_name" ] || stage_times+=("$(printf '%6ds  %s' $((now - stage_start)) "$stage_name")")
  stage_name=$1
  stage_start=$now
  [ -z "$stage_name" ] || echo "== $stage_name"
}
report_times() {
  stage ""
  echo "== time per stage"
  printf '%s\n' "${stage_times[@]}"
  printf '%6ds  whole run\n' $(($(date +%s) - run_start))
}

# Runs a ctest selection under Wine on a virtual X display, with one wineserver for the whole
# selection (tools/wine-run.sh ends what each test leaves running).
wine_ctest() {
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    source scripts/wine-env.sh
    revivix_wine_serve || exit 1
    status=0
    ctest "$@" || status=$?
    revivix_wine_unserve
    exit "$status"' wine_ctest "$@"
}

stage "dependencies"
scripts/install-deps.sh
jobs=$(nproc)

stage "native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

stage "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$jobs"
ctest --preset native-asan -j"$jobs"

stage "fuzzing the file and text readers (a bounded run each)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
ctest --preset fuzz

stage "release files: zip and installer for x86_64 and i686"
scripts/release.sh

stage "Windows programs for x86_64 and i686 (the product)"
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 -j"$jobs"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 -j"$jobs"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
revivix_wine_prefix
status=0

stage "the Wine suites of both programs, each in a lane of its own, at once"
# On a machine whose kernel executes no 32-bit x86 code the 32-bit program cannot start under
# Wine at all. There only the checks that read it without running it (label static) and the
# release tests but the 32-bit installer's (label 32bit) run; the others are named at the end, and
# run on every machine that can run them.
i686_tests=() release_tests=() not_run=()
if ! revivix_runs_32bit; then
  i686_tests=(-L static) release_tests=(-LE 32bit)
  mapfile -t not_run < <({
    ctest --preset mingw-i686 -N -LE static -E '_site_(start|stop)$'
    ctest --preset release -N -L 32bit
  } | sed -n 's/^ *Test *#[0-9]*: //p')
fi
# A lane: its own prefix (a clone), wineserver and X display; its output goes to its log, shown
# when it ends, and its time to the stage table.
run_lane() {
  local name=$1
  shift
  local start
  start=$(date +%s)
  (revivix_wine_lane "$name" && wine_ctest "$@") >"build/lane-$name.log" 2>&1
  local lane_status=$?
  echo $(($(date +%s) - start)) >"build/lane-$name.time"
  return "$lane_status"
}
run_lane x64 --preset mingw-x64 &
lane_x64=$!
run_lane i686 --preset mingw-i686 "${i686_tests[@]}" &
lane_i686=$!
for lane in x64 i686; do
  pid_var=lane_$lane
  lane_status=0
  wait "${!pid_var}" || lane_status=$?
  echo "== lane $lane ($(cat "build/lane-$lane.time") s, status $lane_status)"
  cat "build/lane-$lane.log"
  stage_times+=("$(printf '%6ds    lane %s' "$(cat "build/lane-$lane.time")" "$lane")")
  [ "$lane_status" -eq 0 ] || status=$lane_status
done

stage "release files under Wine"
wine_ctest --preset release "${release_tests[@]}" || status=$?
revivix_wine_stop
report_times
if [ "${#not_run[@]}" -gt 0 ]; then
  echo "== NOT RUN on this machine: ${#not_run[@]} tests of the 32-bit program under Wine"
  echo "   This machine's kernel executes no 32-bit x86 code (no IA-32 emulation), so no 32-bit"
  echo "   Windows program can start under Wine here. They run on every machine that can:"
  printf '     %s\n' "${not_run[@]}"
fi
exit "$status"
