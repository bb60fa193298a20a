#!/usr/bin/env bash
# Side by side, in one run: a build before a change (BEFORE) and after it
# (AFTER), on the same inputs and seed (SHUFFLE_SEED=1), with the bundled
# example tables of AFTER. Checks first that both give byte-identical outputs.
#
# usage: bench/speed_compare.sh BEFORE_BUILD AFTER_BUILD [TASK...]
#   TASK batch   catena -j 2 on the 213 enzymes (chain A), hyperfine medians
#        chain   vicina on the two largest enzyme chains (1014 and 1287 residues)
#        large   a 1,000,000-atom chain (bench/make_large_chain.py) through catena
#                and each structure program: CPU time and peak memory, BEFORE
#                cut off at 60 s of CPU time
# Default: all three. Environment: NATIVES (default: the shared natives beside
# the project, ../shared/data/natives),
# RUNS (hyperfine runs, default 5), BENCH_TMPDIR (default /dev/shm).
set -euo pipefail

before=$(cd "${1:?usage: speed_compare.sh BEFORE_BUILD AFTER_BUILD [TASK...]}" && pwd)/bin
after=$(cd "${2:?usage: speed_compare.sh BEFORE_BUILD AFTER_BUILD [TASK...]}" && pwd)/bin
shift 2
tasks=${*:-batch chain large}
natives=${NATIVES:-$(cd "$(dirname "$0")/.." && pwd)/../shared/data/natives}
runs=${RUNS:-5}
data=$(cd "$after/../data" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export SHUFFLE_SEED=1

work=$(mktemp -d "${BENCH_TMPDIR:-/dev/shm}/speed-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
tables=(--pair-potential "$data/example.pair.potential" --surface-potential "$data/example.surface.potential"
        --table "$data/example.cpdf")

# Median wall time and mean processor time (user + system) of each side, and
# the ratios before / after; on a shared machine the processor time is the
# steadier of the two.
summary() {
  python3 - "$1" <<'PY'
import json, sys
before, after = json.load(open(sys.argv[1]))["results"]
cpu = lambda r: r["user"] + r["system"]
print("  wall median: before %.1f ms, after %.1f ms, ratio %.2f" % (1000 * before["median"], 1000 * after["median"], before["median"] / after["median"]))
print("  cpu mean:    before %.1f ms, after %.1f ms, ratio %.2f" % (1000 * cpu(before), 1000 * cpu(after), cpu(before) / cpu(after)))
PY
}

same() { cmp -s "$1" "$2" && echo "  outputs identical: $3" || { echo "  OUTPUTS DIFFER: $3"; exit 1; }; }

for task in $tasks; do
  case $task in
    batch)
      echo "== catena -j 2 on the 213 enzymes"
      models=$(ls "$natives"/enzymes213_foldx/*.pdb | tr '\n' ' ')
      for side in before after; do
        bin=${!side}
        "$bin/catena" -j 2 --chain A --identity 40 "${tables[@]}" -o "$side.tsv" $models 2>/dev/null || true
      done
      # The record gained columns since the build before; compare the values
      # both builds write, column by name.
      for side in before after; do
        python3 - "$side.tsv" > "$side.values" <<'PY'
import csv, sys
keep = ["model", "chain", "length", "compactness", "pair_energy", "surface_energy", "z_pair", "z_surface",
        "z_combined", "zo341", "pG", "class"]
for row in csv.DictReader(open(sys.argv[1]), delimiter="\t"):
    print("\t".join(row[k] for k in keep))
PY
      done
      # Residues are split at insertion codes since the build before: a model
      # whose length changed is reported, not compared.
      paste before.values after.values | awk -F'\t' '$3 != $15 { print "  length changed (not compared):", $1 }'
      paste before.values after.values | awk -F'\t' '$3 == $15' | cut -f1-12 > before.same
      paste before.values after.values | awk -F'\t' '$3 == $15' | cut -f13-24 > after.same
      same before.same after.same "records of $(wc -l < after.same) models"
      hyperfine -N -i -w 1 -r "$runs" --export-json batch.json \
        -n before "$before/catena -j 2 --chain A --identity 40 ${tables[*]} -o /dev/null $models" \
        -n after "$after/catena -j 2 --chain A --identity 40 ${tables[*]} -o /dev/null $models" 2>/dev/null |
        grep -E "^(Benchmark|  Time|  Range)|faster" || true
      summary batch.json
      ;;
    chain)
      for chain in 1QWN_A 1I1E_A; do
        echo "== vicina on $chain"
        for side in before after; do
          mkdir -p "$side" && cp "$natives/enzymes213_foldx/$chain.pdb" "$side/"
          (cd "$side" && "${!side}/vicina" "$data/example.pair.potential" "$chain.pdb" A > out)
        done
        same before/$chain.pdb.vicina.random after/$chain.pdb.vicina.random "$chain energies"
        hyperfine -N -w 1 -r "$runs" --export-json chain.json \
          -n before "$before/vicina $data/example.pair.potential before/$chain.pdb A" \
          -n after "$after/vicina $data/example.pair.potential after/$chain.pdb A" 2>/dev/null >/dev/null
        summary chain.json
      done
      ;;
    large)
      echo "== a 1,000,000-atom chain"
      python3 "$here/make_large_chain.py" "$natives/rosetta_benchmark_natives/1ugh.pdb" 1000000 large.pdb E
      for side in before after; do
        mkdir -p "large-$side"
        for step in "vicina $data/example.pair.potential ../large.pdb A" \
                    "exposa $data/example.surface.potential ../large.pdb A" "rotunda ../large.pdb A" \
                    "resitally ../large.pdb A" "catena --chain A --identity 40 ${tables[*]} ../large.pdb"; do
          set -- $step
          program=$1
          shift
          (
            cd "large-$side"
            ulimit -t 60
            /usr/bin/time -f "%U %S %M" -o "$program.time" "${!side}/$program" "$@" > "$program.out" 2>/dev/null || true
          )
          read -r user sys rss < <(tail -1 "large-$side/$program.time")
          printf "  %-6s %-9s cpu %7.2f s  peak %6.0f MB%s\n" "$side" "$program" "$(echo "$user + $sys" | bc)" \
            "$(echo "$rss / 1024" | bc)" "$(grep -q "signal" "large-$side/$program.time" && echo "  (cut off)")"
        done
      done
      for f in large-after/*.out; do
        name=$(basename "$f")
        [ -s "large-before/$name" ] && same "large-before/$name" "$f" "$name"
      done
      ;;
  esac
done
