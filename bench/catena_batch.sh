#!/usr/bin/env bash
# Times one batch of models three ways, on the same models and seed:
#   - the eight programs run by hand, one working directory per model;
#   - catena -j 1;
#   - catena -j 2.
# and checks that the three give the same files.
#
# usage: bench/catena_batch.sh BUILD_DIR [MODELS_DIR] [COUNT] [RUNS] [CHAIN]
#   MODELS_DIR  PDB files (default: the shared rosetta natives)
#   COUNT       number of models (default 100); RUNS repetitions (default 3)
#   CHAIN       the chain to read (default A); files without it are not used
# Prints the median wall time of each way and the ratios.
set -euo pipefail

build=$(cd "${1:?usage: catena_batch.sh BUILD_DIR [MODELS_DIR] [COUNT] [RUNS]}" && pwd)
models_dir=${2:-/work/shared/data/natives/rosetta_benchmark_natives}
count=${3:-100}
runs=${4:-3}
chain=${5:-A}
bin=$build/bin
data=$build/data
export PATH=$bin:$PATH
export SHUFFLE_SEED=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/models"
# Models whose first atom belongs to the chain.
column=$chain
[ "$chain" = "_" ] && column=" "
for model in $(find "$models_dir" -maxdepth 1 -name '*.pdb' | sort); do
  [ "$(ls "$work/models" | wc -l)" -ge "$count" ] && break
  awk -v c="$column" '/^ATOM/ { exit substr($0, 22, 1) != c }' "$model" && cp "$model" "$work/models/"
done
cp "$data/1enh.pir" "$work/"
n=$(ls "$work/models" | wc -l)

by_hand() {
  rm -rf "$work/hand"
  for model in "$work"/models/*.pdb; do
    name=$(basename "$model")
    dir=$work/hand/$name
    mkdir -p "$dir"
    cp "$model" "$work/1enh.pir" "$dir/"
    (
      cd "$dir"
      vicina "$data/example.pair.potential" "$name" "$chain" >/dev/null
      exposa "$data/example.surface.potential" "$name" "$chain" >/dev/null
      resitally "$name" "$chain" >/dev/null
      rotunda "$name" "$chain" >/dev/null
      sigmara "$name" >/dev/null
      kinrate 1enh.pir >/dev/null
      awk '{ printf "%.2f\n", $1 * 100 }' 1enh.pir.seq_ide >"$name.seq_ide"
      blendora "$name" >/dev/null
      verdicta "$name" "$data/example.cpdf" >/dev/null
    ) || echo "by hand: $name failed" >&2
  done
}

with_catena() {
  rm -rf "$work/kept.$1"
  catena -j "$1" --chain "$chain" --alignment "$work/1enh.pir" --keep "$work/kept.$1" -o "$work/records.$1.tsv" \
    "$work"/models/*.pdb 2>/dev/null || true
}

# Median wall time in seconds of `runs` runs of a command.
median_time() {
  local times=()
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

hand=$(median_time by_hand)
one=$(median_time with_catena 1)
two=$(median_time with_catena 2)

# The same files every way (pdbfile.tmp and log aside, which the loop rewrites per program).
for model in "$work"/models/*.pdb; do
  name=$(basename "$model")
  for file in "$work/kept.1/$name"/*; do
    base=$(basename "$file")
    cmp -s "$file" "$work/hand/$name/$base" || { echo "differs by hand: $name/$base" >&2; exit 1; }
    cmp -s "$file" "$work/kept.2/$name/$base" || { echo "differs with -j 2: $name/$base" >&2; exit 1; }
  done
done

printf 'models: %d (chain %s, from %s), runs: %d, seed %s\n' "$n" "$chain" "$models_dir" "$runs" "$SHUFFLE_SEED"
awk -v n="$n" -v hand="$hand" -v one="$one" -v two="$two" 'BEGIN {
  printf "eight programs by hand: %8.3f s  (%.2f ms per model)\n", hand, 1000 * hand / n
  printf "catena -j 1:            %8.3f s  (%.2f ms per model)\n", one, 1000 * one / n
  printf "catena -j 2:            %8.3f s  (%.2f ms per model)\n", two, 1000 * two / n
  printf "by hand / catena -j 1:  %8.2f\n", hand / one
  printf "catena -j 1 / -j 2:     %8.2f\n", one / two
}'
