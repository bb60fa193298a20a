#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each under
# AddressSanitizer and UndefinedBehaviorSanitizer, from a copy of its seed
# corpus, and stops at the first finding (exit status non-zero).
#   tests/fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# BUILD_DIR was configured with -DFOLD_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++.
# The statistics of each run (executions, coverage) end its log,
# BUILD_DIR/fuzz-runs/TARGET.log; a crashing input is left in BUILD_DIR/fuzz-runs/.
# FUZZ_SEED (default 1) fixes libFuzzer's random seed, so that a CI run explores
# the same inputs as a run made here before a change lands; FUZZ_SEED=0 lets
# libFuzzer pick one (for long exploratory runs).
set -euo pipefail
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
((${#targets[@]})) || targets=(pdb_reader mmcif potential pir cpdf score_file catena_options model_list scan)
runs="$build/fuzz-runs"
mkdir -p "$runs"
for target in "${targets[@]}"; do
  corpus="$runs/corpus-$target"
  mkdir -p "$corpus"
  cp "$here/corpus/$target"/* "$corpus"/
  echo "fuzzing $target for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/bin/fuzz_$target" "$corpus" -max_total_time="$seconds" -seed="${FUZZ_SEED:-1}" -max_len=16384 -timeout=20 \
    -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$runs/$target-" >"$runs/$target.log" 2>&1; then
    tail -n 60 "$runs/$target.log"
    echo "fuzz_$target: finding, see $runs/$target.log" >&2
    exit 1
  fi
  grep -E '^stat::|cov:' "$runs/$target.log" | tail -n 8
done
