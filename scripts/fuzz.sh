#!/usr/bin/env bash
# Runs every fuzz target in build-fuzz/bin for a fixed number of seconds (default 10), starting from
# the seed inputs in tests/fuzz/corpus/<name>/ when there are any.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
shopt -s nullglob
for fuzzer in build-fuzz/bin/fuzz_*; do
  name=$(basename "$fuzzer"); name=${name#fuzz_}
  work=build-fuzz/corpus/$name
  artifacts=build-fuzz/artifacts/$name
  mkdir -p "$work" "$artifacts"
  seeds=()
  [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
  # A shot is simulated inside the frame loop of every client: one input that takes a second
  # would stall a match, so that target fails on it.
  timeout=10
  [ "$name" = shot_simulation ] && timeout=1
  echo "fuzzing $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -artifact_prefix="$artifacts/" "$work" "${seeds[@]}" \
    >"build-fuzz/$name.log" 2>&1 || { tail -40 "build-fuzz/$name.log"; echo "fuzz target $name failed"; exit 1; }
done
