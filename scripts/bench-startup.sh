#!/usr/bin/env bash
# The start-up benchmark: fernclip.exe against a bare window (bench/win32/bare_window.cpp) that
# only registers a class and shows one window, and against the same bare window with the common
# controls 6 manifest and InitCommonControlsEx (what the look of the controls costs before any
# exists). One launcher (bench/win32/startup_bench.cpp) starts the three in turn, RUNS times each
# after a warm-up round, in one Wine session under Xvfb, and times each from process start to its
# visible window. Prints every run and the rows
#   REVIVIX-BENCH<TAB>row<TAB>figure<TAB>floor<TAB>ratio
# for the medians and for the lowest times (the lowest time is the one least disturbed by other
# work on the machine).
# Usage: scripts/bench-startup.sh [RUNS=20] [x64|i686]
# i686 measures the 32-bit programs (the product): the wizard, both bare windows and the launcher
# built for 32-bit Windows; the rows then name the width.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" = "--inner" ]; then
  runs=$2
  arch=$3
  B="$ROOT/build/mingw-$arch"
  width=""
  [ "$arch" = i686 ] && width=", 32-bit"
  # shellcheck source=wine-env.sh
  . "$ROOT/scripts/wine-env.sh"
  revivix_wine_prefix
  win() { echo "Z:${1//\//\\}"; }
  out=$(timeout 600 "$REVIVIX_WINE64" "$(win "$B/bench/win32/revivix-startup-bench.exe")" "$runs" \
    "$(win "$B/bin/fernclip.exe")" "$(win "$B/bench/win32/revivix-bare-window.exe")" \
    "$(win "$B/bench/win32/revivix-bare-window-v6.exe")" | tr -d '\r')
  revivix_wine_stop
  echo "$out" | grep -v '^MEDIAN' >&2
  echo "$out" | awk -v runs="$runs" -v width="$width" '
    /^REVIVIX-BENCH FAIL/ { print; failed = 1 }
    $1 == "MEDIAN" && $2 == "fernclip.exe" { m = $3; lo = $4 }
    $1 == "MEDIAN" && $2 == "revivix-bare-window.exe" { bm = $3; blo = $4 }
    $1 == "MEDIAN" && $2 == "revivix-bare-window-v6.exe" { vm = $3; vlo = $4 }
    END {
      if (failed || m == "" || bm == "" || vm == "") exit 1
      printf "REVIVIX-BENCH\tstart-up to visible window%s, median of %d\t%.1f ms\tbare window %.1f ms\t%.2f\n", width, runs, m, bm, m / bm
      printf "REVIVIX-BENCH\tstart-up to visible window%s, lowest of %d\t%.1f ms\tbare window %.1f ms\t%.2f\n", width, runs, lo, blo, lo / blo
      printf "REVIVIX-BENCH\tstart-up%s, median of %d, against the common controls 6 window\t%.1f ms\tbare window with the manifest %.1f ms\t%.2f\n", width, runs, m, vm, m / vm
    }'
  exit
fi
runs=${1:-20}
arch=${2:-x64}
case "$arch" in x64 | i686) ;; *) echo "usage: $0 [RUNS] [x64|i686]" >&2; exit 2 ;; esac
cd "$ROOT"
cmake --preset "mingw-$arch" >/dev/null
cmake --build --preset "mingw-$arch" -j2 --target fernclip revivix-startup-bench \
  revivix-bare-window revivix-bare-window-v6 >/dev/null
timeout 900 xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner "$runs" "$arch"
