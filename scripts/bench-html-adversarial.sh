#!/usr/bin/env bash
# Builds the HTML renderer's benchmark of hostile pages optimised (native Release build in
# build/bench-native) and runs it: the decode + render time and the peak memory of each
# generated 8 MiB page, against the goals of 2 s and 256 MB. Besides the table it prints one
# line per figure: REVIVIX-BENCH <TAB> row <TAB> figure <TAB> goal <TAB> figure / goal.
# Usage: scripts/bench-html-adversarial.sh [CASE...]   (all cases when none is named)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
B="$ROOT/build/bench-native"
cmake -S "$ROOT" -B "$B" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$B" --target revivix-bench-html-adversarial -j2 >/dev/null
"$B/bench/revivix-bench-html-adversarial" "$@"
