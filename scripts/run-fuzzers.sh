#!/usr/bin/env bash
# Runs every fuzz target of the clang tree for RUNS inputs each (default a million) and prints
# what each did: inputs, seconds, corpus size. Stops at the first target that finds a crash; the
# crashing input is left in build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-1000000}
mkdir -p build-fuzz/logs build-fuzz/artifacts
for target in build-fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  mkdir -p "build-fuzz/corpus/$name"
  log="build-fuzz/logs/$name.log"
  start=$(date +%s)
  if ! "$target" -runs="$runs" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/artifacts/$name-" \
      "build-fuzz/corpus/$name" "tests/fuzz/corpus/$name" >"$log" 2>&1; then
    echo "$name: FAILED; see $log" >&2
    tail -n 30 "$log" >&2
    exit 1
  fi
  seconds=$(( $(date +%s) - start ))
  done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1)
  corpus=$(ls "build-fuzz/corpus/$name" | wc -l)
  echo "$name: $done_line (wall ${seconds}s, $corpus inputs in the found corpus)"
done
