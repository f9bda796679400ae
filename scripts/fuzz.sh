#!/usr/bin/env bash
# Builds the fuzz preset (clang with libFuzzer) and fuzzes every target from its committed seeds for SECONDS
# each (default 60), a few targets at a time, then prints a table: target, executions, coverage, result.
# Seeds are copied first: what a run finds stays in build/fuzz/runs/<target>/, never in the source tree; an
# input that fails is kept there as crash-*, leak-*, timeout-* or oom-*.
#   ./scripts/fuzz.sh [SECONDS] [TARGET...]     (FUZZ_JOBS=N runs N targets at a time; default half the cores)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

seconds=${1:-60}
shift || true
case "$seconds" in
  ''|*[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number, not \"$seconds\"" >&2; exit 2 ;;
esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

list=build/fuzz/fuzz-targets.txt
runs=build/fuzz/runs
[ -f "$list" ] || { echo "fuzz.sh: $list is missing" >&2; exit 2; }
mkdir -p "$runs"

# Targets chosen on the command line, else all of them.
mapfile -t lines < "$list"
selected=()
for line in "${lines[@]}"; do
  [ -n "$line" ] || continue
  name=${line%%$'\t'*}
  if [ $# -eq 0 ]; then selected+=("$line"); continue; fi
  for want in "$@"; do [ "$want" = "$name" ] && selected+=("$line"); done
done
[ ${#selected[@]} -gt 0 ] || { echo "fuzz.sh: no such target: $*" >&2; exit 2; }

run_one() {
  local name=$1 exe=$2 corpus=$3
  local dir="$runs/$name"
  rm -rf "$dir"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  for seed in $corpus; do cp -r "$seed"/. "$dir/corpus/" 2>/dev/null || cp "$seed" "$dir/corpus/"; done
  "$exe" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/log.txt" 2>&1
  echo $? >"$dir/status"
}

jobs=${FUZZ_JOBS:-$(( $(nproc) / 2 ))}
[ "$jobs" -ge 1 ] || jobs=1
running=0
for line in "${selected[@]}"; do
  IFS=$'\t' read -r name exe corpus <<<"$line"
  echo "fuzz.sh: $name for ${seconds} s"
  run_one "$name" "$exe" "$corpus" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n || true; running=$((running - 1)); fi
done
wait || true

failed=0
printf '\n%-34s %12s %9s  %s\n' target executions coverage result
for line in "${selected[@]}"; do
  IFS=$'\t' read -r name exe corpus <<<"$line"
  dir="$runs/$name"
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log.txt" | grep -o '[0-9]*$' | tail -1 || true)
  cov=$(grep -o 'cov: [0-9]*' "$dir/log.txt" | tail -1 | grep -o '[0-9]*' || true)
  status=$(cat "$dir/status" 2>/dev/null || echo 1)
  if [ "$status" = 0 ]; then result=clean; else result="FAILED (see $dir/log.txt)"; failed=1; fi
  printf '%-34s %12s %9s  %s\n' "$name" "${execs:--}" "${cov:--}" "$result"
done
exit $failed
