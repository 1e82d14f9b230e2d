#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds each, starting from
# the seeds in fuzz/corpus/<target>/ and keeping what it finds in the build folder, so the
# checked-in seeds stay as they are. Prints each target's executions; fails on the first
# target that finds a fault, with the input under BUILD/fuzz-artifacts/.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
cd "$(dirname "$0")/.."
mkdir -p "$build/fuzz-artifacts"

# Every target has its seed folder, named after it.
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  corpus="$build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  log="$build/fuzz-artifacts/$target.log"
  echo "== $target: ${seconds}s"
  status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/fuzz-artifacts/$target-" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: ${executions:-?} executions, $(ls "$corpus" | wc -l) inputs in its corpus"
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "$target found a fault (exit $status); log: $log" >&2
    exit "$status"
  fi
done
