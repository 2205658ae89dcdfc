#!/usr/bin/env bash
# Builds and runs the Wine benchmark of a long database (bench/win32/list_fill_bench.cpp): the
# time from the database page's arrival to the serial-number page with 1000 and 10,000 lines,
# through the wizard's real window and list views. Prints its figures and one REVIVIX-BENCH line
# per figure (row, figure, goal, ratio).
# Usage: scripts/bench-list-fill.sh
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
if [ "${1:-}" = "--inner" ]; then
  # shellcheck source=wine-env.sh
  . "$ROOT/scripts/wine-env.sh"
  revivix_wine_prefix
  timeout 300 "$REVIVIX_WINE64" "$ROOT/build/mingw-x64/bench/win32/list_fill_bench.exe" | tr -d '\r'
  revivix_wine_stop
  exit 0
fi
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 -j2 --target list_fill_bench >/dev/null
timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner
