#!/usr/bin/env bash
# Installs what is needed, builds every preset and runs every test: the native tests (plain and
# under AddressSanitizer/UndefinedBehaviorSanitizer), a link check of the 32-bit program, the
# release files (built once, by scripts/release.sh), and the Win32 tests of the real fernclip.exe
# and of the release under Wine with a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc)

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$jobs"
ctest --preset native-asan -j"$jobs"

echo "== fuzzing the file and text readers (a bounded run each)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
ctest --preset fuzz

echo "== 32-bit Windows program (compile and link)"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 -j"$jobs"

echo "== release files: zip and installer for x86_64 and i686"
scripts/release.sh

echo "== 64-bit Windows program and its tests under Wine"
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 -j"$jobs"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
revivix_wine_prefix
status=0
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset mingw-x64 || status=$?
echo "== release files under Wine"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset release || status=$?
revivix_wine_stop
exit "$status"
