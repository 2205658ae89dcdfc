#!/usr/bin/env bash
# Fuzz campaign of every libFuzzer target, outside CI.
#   scripts/fuzz.sh [minutes-per-target] [target...]
# Runs each target (default: all in tests/fuzz) for that many minutes (default 10), starting from
# its kept corpus tests/fuzz/corpus/<target>/ and its seed files, with cost oracles: an input that
# takes longer than REVIVIX_FUZZ_TIMEOUT seconds (default 10) or more than REVIVIX_FUZZ_RSS_MB
# megabytes (default 2048) is a finding like a crash, and inputs grow up to 1 MiB; an input slower
# than REVIVIX_FUZZ_SLOW seconds (default 2) is kept as a slow unit and counted. Afterwards the
# kept corpus is minimised (-merge=1) to the inputs that add coverage beyond the seeds, and one line
# per target gives the executions, the coverage of the kept corpus, the findings and the slow
# units. Every finding (crash-, timeout-, oom-, leak- file) and slow unit (slow-unit- file) is kept
# in build/fuzz/campaign/<target>/findings/.
# A target that ends on a finding is started again for the time left, at most
# REVIVIX_FUZZ_RESTARTS times (default 4), so one crash does not end the campaign.
# REVIVIX_FUZZ_PARALLEL targets run at once (default 1). The campaign runs under nice -n 15.
# Exit status: 0 without findings, 1 with findings, 2 on a usage or build error.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

minutes=${1:-10}
[ $# -gt 0 ] && shift
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [ "$minutes" -lt 1 ]; then
  echo "usage: scripts/fuzz.sh [minutes-per-target] [target...]" >&2
  exit 2
fi
timeout_s=${REVIVIX_FUZZ_TIMEOUT:-10}
rss_mb=${REVIVIX_FUZZ_RSS_MB:-2048}
slow_s=${REVIVIX_FUZZ_SLOW:-2}
restarts=${REVIVIX_FUZZ_RESTARTS:-4}
parallel=${REVIVIX_FUZZ_PARALLEL:-1}
max_len=1048576

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in tests/fuzz/*Fuzz.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("$name")
  done
fi

# The seed files of a target: the same fixture folders the bounded CI run starts from.
seeds_of() {
  case "$1" in
    HtmlTextFuzz) echo "$root/tests/fixtures/html" ;;
    DatabaseLinesFuzz) echo "$root/tests/fixtures/database" ;;
    LinkPageFuzz) echo "$root/tests/fixtures/linkpages" ;;
    *) echo "$root/tests/fixtures/profile" ;;
  esac
}

echo "== building the fuzz targets"
cmake --preset fuzz >/dev/null
nice -n 15 cmake --build --preset fuzz -j"${REVIVIX_FUZZ_BUILD_JOBS:-2}" --target "${targets[@]}" \
  >/dev/null || { echo "fuzz: build failed" >&2; exit 2; }

campaign=$root/build/fuzz/campaign
mkdir -p "$campaign"

# Runs one target for the whole time and minimises its kept corpus; writes a summary line to
# $campaign/<target>/summary.
run_target() {
  local target=$1
  local bin dir corpus seeds log deadline left status execs=0 runs=0
  bin=$(find "$root/build/fuzz" -type f -name "$target" -perm -u+x | head -n 1)
  dir=$campaign/$target
  corpus=$root/tests/fuzz/corpus/$target
  seeds=$(seeds_of "$target")
  log=$dir/fuzz.log
  rm -rf "$dir"
  mkdir -p "$dir/new" "$dir/findings" "$corpus"
  : >"$log"
  if [ -z "$bin" ]; then
    echo "$target: not built" >"$dir/summary"
    return 0
  fi
  local oracles=(-timeout="$timeout_s" -rss_limit_mb="$rss_mb" -max_len="$max_len")
  deadline=$(($(date +%s) + minutes * 60))
  while :; do
    left=$((deadline - $(date +%s)))
    [ "$left" -ge 5 ] || break
    status=0
    nice -n 15 "$bin" "${oracles[@]}" -max_total_time="$left" -print_final_stats=1 \
      -report_slow_units="$slow_s" -artifact_prefix="$dir/findings/" \
      "$dir/new" "$corpus" "$seeds" >>"$log" 2>&1 || status=$?
    runs=$((runs + 1))
    local n
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    execs=$((execs + ${n:-0}))
    # Stats are per run; keep only the figures of runs already counted out of the way.
    sed -i 's/^stat::number_of_executed_units:/counted::number_of_executed_units:/' "$log"
    [ "$status" -ne 0 ] || break
    [ "$runs" -le "$restarts" ] || break
  done

  # Minimise: the seed files go first so that only inputs adding coverage beyond them are kept.
  local merged=$dir/merged
  rm -rf "$merged"
  mkdir -p "$merged"
  cp "$seeds"/* "$merged"/
  nice -n 15 "$bin" -merge=1 "${oracles[@]}" "$merged" "$corpus" "$dir/new" >"$dir/merge.log" 2>&1 ||
    { echo "$target: merge failed (see $dir/merge.log)" >"$dir/summary"; return 0; }
  for seed in "$seeds"/*; do rm -f "$merged/$(basename "$seed")"; done
  rm -f "$corpus"/*
  if compgen -G "$merged/*" >/dev/null; then mv "$merged"/* "$corpus"/; fi

  # Coverage of what is kept: the seeds and the minimised corpus, run once each.
  nice -n 15 "$bin" -runs=0 "${oracles[@]}" "$corpus" "$seeds" >"$dir/coverage.log" 2>&1 || true
  local cov files size findings slow
  cov=$(sed -n 's/.*INITED cov: \([0-9]*\) ft: \([0-9]*\).*/\1 \2/p' "$dir/coverage.log" | tail -n 1)
  [ -n "$cov" ] || cov="? ?"
  files=$(find "$corpus" -type f | wc -l)
  size=$(du -sk --apparent-size "$corpus" | cut -f1)
  findings=$(find "$dir/findings" -type f ! -name 'slow-unit-*' | wc -l)
  slow=$(find "$dir/findings" -type f -name 'slow-unit-*' | wc -l)
  printf '%-18s %10d execs  cov %5s ft %6s  corpus %4d files %5d KiB  findings %d  slow %d\n' \
    "$target" "$execs" "${cov% *}" "${cov#* }" "$files" "$size" "$findings" "$slow" \
    >"$dir/summary"
}

echo "== $minutes minute(s) per target, $parallel at once:" "${targets[@]}"
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
  run_target "$target" &
done
wait

echo "== results"
found=0
for target in "${targets[@]}"; do
  cat "$campaign/$target/summary"
  bin=$(find "$root/build/fuzz" -type f -name "$target" -perm -u+x | head -n 1)
  for finding in "$campaign/$target"/findings/*; do
    [ -e "$finding" ] || continue
    case "$(basename "$finding")" in
      slow-unit-*)
        # The campaign's clock is the wall clock of a niced process; timed again alone, a unit
        # shows whether the input or the machine's load was slow.
        again=$("$bin" -timeout="$timeout_s" -rss_limit_mb="$rss_mb" "$finding" 2>&1 |
                sed -n 's/^Executed .* in \([0-9]*\) ms$/\1 ms/p')
        echo "   kept: $finding (timed again: ${again:-not run})" ;;
      *)
        echo "   kept: $finding"
        found=1 ;;
    esac
  done
done
exit "$found"
