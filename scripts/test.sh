#!/usr/bin/env bash
# Installs what is needed, builds every preset and runs every test: the native tests (plain and
# under AddressSanitizer/UndefinedBehaviorSanitizer), the release files (built once, by
# scripts/release.sh), the Win32 tests of the real fernclip.exe for x86_64 and for 32-bit Windows
# (the product) and the release under Wine with a virtual X display. On a machine whose kernel runs
# no 32-bit x86 code, the 32-bit program's tests under Wine cannot start: the run then names each
# of them at its end. Ends with the time each stage and each lane took.
#
# The Wine tests spend most of their time waiting for the wizard's timers, so they run in four
# lanes (two per program) while the native, sanitizer, fuzzing and release stages build and run
# beside them at a lower priority. Each lane has a Wine prefix, wineserver and X display of its own.
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

# shellcheck source=scripts/wine-lanes.sh
source scripts/wine-lanes.sh

stage "dependencies"
scripts/install-deps.sh
jobs=$(nproc)
# A compiler cache inside build/: the release builds compile the same libraries with the same
# flags as the test builds of their width, so they take them from the cache.
export CCACHE_DIR=$PWD/build/ccache CCACHE_BASEDIR=$PWD
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

stage "Windows program for x86_64 (the product) and its tests"
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 -j"$jobs"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
revivix_wine_prefix
status=0
start_program_lanes x64
# From here on the lanes run: a step that fails marks the run failed and the run goes on (each
# chain of steps ends in "|| true"), so the lanes are always waited for and every verdict is shown.
failed=()
step() {
  "$@" && return 0
  status=1
  failed+=("$stage_name: $*")
  echo "== FAILED: $*"
  return 1
}

stage "Windows program for i686 (the product) and its tests, beside the x86_64 lanes"
i686_built=0
step nice -n 10 cmake --preset mingw-i686 >/dev/null &&
  step nice -n 10 cmake --build --preset mingw-i686 -j"$jobs" && i686_built=1 || true
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
[ "$i686_built" = 0 ] || start_program_lanes i686 "${i686_tests[@]}"

# The stages below run beside the Wine lanes, at a lower priority, so the lanes get the processor
# whenever they need it.
stage "native build and tests"
step nice -n 10 cmake --preset native >/dev/null &&
  step nice -n 10 cmake --build --preset native -j"$jobs" &&
  step nice -n 10 ctest --preset native -j"$jobs" || true

stage "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
step nice -n 10 cmake --preset native-asan >/dev/null &&
  step nice -n 10 cmake --build --preset native-asan -j"$jobs" &&
  step nice -n 10 ctest --preset native-asan -j"$jobs" || true

stage "fuzzing the file and text readers (a bounded run each)"
step nice -n 10 cmake --preset fuzz >/dev/null &&
  step nice -n 10 cmake --build --preset fuzz -j"$jobs" &&
  step nice -n 10 ctest --preset fuzz || true

stage "release files: zip and installer for x86_64 and i686"
step nice -n 10 scripts/release.sh || true

stage "the rest of the Wine lanes"
wait_lanes || status=$?
stage_times+=("${lane_times[@]}")

stage "release files under Wine"
step wine_ctest -a --preset release "${release_tests[@]}" || true
revivix_wine_stop
report_times
if [ "${#failed[@]}" -gt 0 ]; then
  echo "== FAILED steps:"
  printf '     %s\n' "${failed[@]}"
fi
if [ "${#not_run[@]}" -gt 0 ]; then
  echo "== NOT RUN on this machine: ${#not_run[@]} tests of the 32-bit program under Wine"
  echo "   This machine's kernel executes no 32-bit x86 code (no IA-32 emulation), so no 32-bit"
  echo "   Windows program can start under Wine here. They run on every machine that can:"
  printf '     %s\n' "${not_run[@]}"
fi
exit "$status"
