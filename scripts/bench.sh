#!/usr/bin/env bash
# One performance report: builds what the benchmarks need, runs every benchmark once and prints
# one table, each figure beside its floor or goal measured or stated in the same run, and their
# ratio (figure ÷ floor). docs/performance.md says what each row measures and what its floor is.
#
# Every benchmark hands its rows over as lines
#   REVIVIX-BENCH<TAB>row<TAB>figure with unit<TAB>floor or goal with unit<TAB>ratio or -
# The scripts of benchmarks built elsewhere (the page wait, the list fill, the adversarial pages)
# are run when they exist; a row whose benchmark does not exist yet says so.
#
# Usage: scripts/bench.sh
# Environment: REVIVIX_BENCH_STARTUP_RUNS (runs of each program, default 20),
# REVIVIX_BENCH_DOWNLOAD_MB (default 200), REVIVIX_BENCH_POLL_SECONDS (default 30).
# The whole output of every benchmark goes to build/bench/bench.log.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
startup_runs=${REVIVIX_BENCH_STARTUP_RUNS:-20}
download_mb=${REVIVIX_BENCH_DOWNLOAD_MB:-200}
poll_seconds=${REVIVIX_BENCH_POLL_SECONDS:-30}
mkdir -p build/bench
log=$ROOT/build/bench/bench.log
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
: >"$log"
load_start=$(cut -d' ' -f1-3 /proc/loadavg)

say() { echo "== $*" | tee -a "$log" >&2; }
row() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" >>"$rows"; }
# Runs a benchmark, keeps its output in the log and prints it for parsing.
run() {
  local status
  "$@" >"$log.part" 2>&1
  status=$?
  cat "$log.part" >>"$log"
  tr -d '\r' <"$log.part"
  rm -f "$log.part"
  return $status
}
collect() { grep -a $'^REVIVIX-BENCH\t' | cut -f2- | grep -v '^FAIL' >>"$rows"; }

# ---- builds ----
say "building the native Release benchmarks"
native_ok=1
{ cmake -S "$ROOT" -B build/bench-native -DCMAKE_BUILD_TYPE=Release &&
  cmake --build build/bench-native -j2 --target find_connected_players_bench revivix-bench-htmltext
} >>"$log" 2>&1 || native_ok=0
say "building the Windows programs and benchmarks"
win_ok=1
{ cmake --preset mingw-x64 &&
  cmake --build --preset mingw-x64 -j2 --target fernclip revivix-startup-bench revivix-bare-window \
    revivix-bare-window-v6 revivix-download-bench revivix-bare-download updater_poll_bench
} >>"$log" 2>&1 || win_ok=0

# ---- start-up ----
say "start-up: fernclip.exe against a bare window (with and without the common controls 6 manifest), ${startup_runs} alternating runs each"
if [ "$win_ok" = 1 ]; then
  out=$(run scripts/bench-startup.sh "$startup_runs")
  if grep -qa $'^REVIVIX-BENCH\tstart-up' <<<"$out"; then
    collect <<<"$out"
  else
    row "start-up to visible window" "failed (see build/bench/bench.log)" "-" "-"
  fi
else
  row "start-up to visible window" "build failed (see build/bench/bench.log)" "-" "-"
fi

# ---- detection and renderer (native, Release) ----
if [ "$native_ok" = 1 ]; then
  say "detection: FindConnectedPlayers for 1000 and 2000 lines and devices"
  out=$(run build/bench-native/bench/find_connected_players_bench)
  python3 -c '
import re, sys
t = {int(m[1]): float(m[2]) for m in re.finditer(
    r"^FindConnectedPlayers (\d+) lines x \d+ devices: ([\d.]+) ms", sys.stdin.read(), re.M)}
if 1000 in t and 2000 in t:
    print("FindConnectedPlayers 1000 lines × 1000 devices\t%.3f ms\t-\t-" % t[1000])
    print("FindConnectedPlayers 2000 lines × 2000 devices\t%.3f ms\tlinear: 2 × 1000² = %.3f ms\t%.2f"
          % (t[2000], 2 * t[1000], t[2000] / (2 * t[1000])))
else:
    print("FindConnectedPlayers\tfailed (see build/bench/bench.log)\t-\t-")
' <<<"$out" >>"$rows"
  say "renderer: MB/s on generated 1 MB pages"
  out=$(run build/bench-native/bench/revivix-bench-htmltext)
  python3 -c '
import re, sys
found = re.findall(r"^(database page|markup-heavy page) +([\d.]+) MB/s", sys.stdin.read(), re.M)
for name, mbs in found:
    print("renderer, %s (1 MB)\t%.1f MB/s\tgoal 50 MB/s\t%.2f" % (name, float(mbs), float(mbs) / 50))
if len(found) < 2:
    print("renderer\tfailed (see build/bench/bench.log)\t-\t-")
' <<<"$out" >>"$rows"
else
  row "FindConnectedPlayers" "build failed (see build/bench/bench.log)" "-" "-"
  row "renderer" "build failed (see build/bench/bench.log)" "-" "-"
fi

# ---- download ----
say "download: ${download_mb} MB on loopback, TumoDL against a bare URLDownloadToFileA and curl"
if [ "$win_ok" = 1 ]; then
  out=$(run bench/download-bench.sh "$download_mb")
  if grep -qa $'^REVIVIX-BENCH\tdownload' <<<"$out"; then
    collect <<<"$out"
  else
    row "download ${download_mb} MB" "failed (see build/bench/bench.log)" "-" "-"
  fi
else
  row "download ${download_mb} MB" "build failed (see build/bench/bench.log)" "-" "-"
fi

# ---- updater polling ----
say "polling: one Timer5 tick against the discovery walk; CPU shares for ${poll_seconds} s with 50 windows"
if [ "$win_ok" = 1 ]; then
  out=$(run scripts/bench-updater-poll.sh "$poll_seconds" 50)
  python3 -c '
import re, sys
tick, walk, share = {}, {}, {}
others = None
for line in sys.stdin.read().splitlines():
    m = re.match(r"(\d+) other windows", line)
    if m:
        others = int(m[1])
    m = re.search(r"([\d.]+) us wall", line)
    if m and others and "Timer5 tick, updater window below the others" in line:
        tick["below", others] = float(m[1])
    if m and others and "Timer5 tick, no updater window" in line:
        tick["none", others] = float(m[1])
    if m and others and "EnumWindows + GetWindowTextA of every window" in line:
        walk[others] = float(m[1])
    m = re.match(r"(idle|poll): (wizard process|wineserver) .* = ([\d.]+) % of one core", line)
    if m:
        share[m[1], m[2]] = float(m[3])
fail = "failed (see build/bench/bench.log)\t-\t-"
cases = (("below", "the updater window below the others"), ("none", "no updater window"))
for k in (20, 200):
    for case, label in cases:
        name = "Timer5 tick, %s, %d other windows" % (label, k)
        if walk.get(k) and (case, k) in tick:
            print("%s\t%.1f µs\tEnumWindows + GetWindowTextA walk %.1f µs\t%.2f"
                  % (name, tick[case, k], walk[k], tick[case, k] / walk[k]))
        else:
            print("%s\t%s" % (name, fail))
for who, label in (("wizard process", "the wizard"), ("wineserver", "the wineserver")):
    name = "polling with 50 other windows: %s, share of one core" % label
    if ("poll", who) in share and ("idle", who) in share:
        print("%s\t%.2f %%\tidle %s %.2f %%\t-" % (name, share["poll", who], label[4:], share["idle", who]))
    else:
        print("%s\t%s" % (name, fail))
' <<<"$out" >>"$rows"
else
  row "updater polling" "build failed (see build/bench/bench.log)" "-" "-"
fi

# ---- benchmarks of other parts, when they exist ----
for entry in "bench-page-wait.sh|the page wait's CPU share" \
  "bench-list-fill.sh|list fill at 10,000 lines" \
  "bench-html-adversarial.sh|adversarial pages' time and memory"; do
  script=${entry%%|*}
  what=${entry#*|}
  if [ ! -x "scripts/$script" ]; then
    row "$what" "not built yet (no scripts/$script)" "-" "-"
    continue
  fi
  say "$what (scripts/$script)"
  out=$(run "scripts/$script")
  if grep -qa $'^REVIVIX-BENCH\t' <<<"$out"; then
    collect <<<"$out"
  else
    row "$what" "failed: no REVIVIX-BENCH line (see build/bench/bench.log)" "-" "-"
  fi
done

# ---- the table ----
load_end=$(cut -d' ' -f1-3 /proc/loadavg)
echo
echo "Revivix performance, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(/usr/lib/wine/wine64 --version 2>/dev/null || echo 'Wine ?')"
echo "load average (1, 5, 15 min): ${load_start} at the start, ${load_end} at the end"
echo
python3 -c '
import sys
rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8") if line.strip()]
rows = [(r + ["-"] * 4)[:4] for r in rows]
head = ["row", "figure", "floor or goal", "ratio"]
w = [max(len(r[i]) for r in rows + [head]) for i in range(4)]
line = lambda r: print("| " + " | ".join(c.ljust(w[i]) for i, c in enumerate(r)) + " |")
line(head)
print("|" + "|".join("-" * (x + 2) for x in w) + "|")
for r in rows:
    line(r)
' "$rows"
