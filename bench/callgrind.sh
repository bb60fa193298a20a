#!/usr/bin/env bash
# Instruction counts of the benchmarked tasks under callgrind. Unlike times,
# they repeat exactly on a shared machine. Only the task itself is counted
# (--toggle-collect on its function), not the setup around it.
#
#   bench/callgrind.sh [BUILD_DIR [TASK...]]
#
# BUILD_DIR defaults to build. A TASK is "load" or TOOL/CHAIN, e.g.
# vicina/1I1E_A; the default is the load and both whole runs on every chain.
# FOLD_BENCH_DATA locates the structures, as for energy_bench.
set -euo pipefail

build=${1:-build}
shift || true
run_once=$build/bin/energy_run_once
[[ -x $run_once ]] || { echo "callgrind.sh: $run_once is not built" >&2; exit 2; }
tasks=("$@")
if ((${#tasks[@]} == 0)); then
  tasks=(load)
  for tool in vicina exposa; do
    for chain in 1PYL_A 1BQC_A 1I1E_A; do tasks+=("$tool/$chain"); done
  done
fi

# Instructions executed inside the function matching $1 while running
# energy_run_once with the remaining arguments.
count() {
  local toggle=$1
  shift
  local out
  out=$(mktemp)
  if ! valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect="$toggle" \
      "$run_once" "$@" >/dev/null 2>"$out.log"; then
    cat "$out.log" >&2
    rm -f "$out" "$out.log"
    return 1
  fi
  callgrind_annotate "$out" | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }'
  rm -f "$out" "$out.log"
}

printf '%-22s %16s %18s %8s\n' task fast straightforward ratio
for task in "${tasks[@]}"; do
  if [[ $task == load ]]; then
    fast=$(count 'energy::Load_Potential*' load fast)
    slow=$(count 'energy::reference::Straightforward_Load_Potential*' load straightforward)
    name=load_pair_table
  else
    tool=${task%%/*}
    chain=${task#*/}
    fast=$(count 'energy::bench::Whole_Energy_Run*' "$tool" fast "$chain")
    slow=$(count 'energy::bench::Whole_Energy_Run*' "$tool" straightforward "$chain")
    name=${tool}_run/$chain
  fi
  ratio=$(awk -v f="$fast" -v s="$slow" 'BEGIN { printf "%.1fx", s / f }')
  printf '%-22s %16s %18s %8s\n' "$name" "$fast" "$slow" "$ratio"
done
