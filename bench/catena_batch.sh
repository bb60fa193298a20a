#!/usr/bin/env bash
# Times one batch of models, on the same models and seed:
#   - the eight programs run by hand, one working directory per model;
#   - catena -j 1 and -j 2 writing only their records (the normal use);
#   - catena -j 1 and -j 2 with --keep, writing every file the programs write;
# and checks that the programs and both catena runs give the same files.
# The working files go to a fresh directory under $BENCH_TMPDIR (default /tmp).
#
# usage: bench/catena_batch.sh BUILD_DIR [MODELS_DIR] [COUNT] [RUNS] [CHAIN]
#   MODELS_DIR  PDB files (default: the rosetta natives of $NATIVES, which
#               defaults to the shared natives beside the project)
#   COUNT       number of models (default 100); RUNS repetitions (default 3)
#   CHAIN       the chain to read (default A); files without it are not used
# Prints the median wall time of each way and the ratios.
set -euo pipefail

build=$(cd "${1:?usage: catena_batch.sh BUILD_DIR [MODELS_DIR] [COUNT] [RUNS]}" && pwd)
natives=${NATIVES:-$(cd "$(dirname "$0")/.." && pwd)/../shared/data/natives}
models_dir=${2:-$natives/rosetta_benchmark_natives}
count=${3:-100}
runs=${4:-3}
chain=${5:-A}
bin=$build/bin
data=$build/data
export PATH=$bin:$PATH
export SHUFFLE_SEED=1

work=$(mktemp -d "${BENCH_TMPDIR:-/tmp}/catena-batch.XXXXXX")
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

# The tables of the runs by hand, given explicitly (catena's defaults are the trained ones).
tables=(--pair-potential "$data/example.pair.potential" --surface-potential "$data/example.surface.potential"
  --table "$data/example.cpdf")

with_catena() {
  catena -j "$1" "${tables[@]}" --chain "$chain" --alignment "$work/1enh.pir" -o "$work/records.$1.tsv" \
    "$work"/models/*.pdb 2>/dev/null || true
}

with_catena_keep() {
  rm -rf "$work/kept.$1"
  catena -j "$1" "${tables[@]}" --chain "$chain" --alignment "$work/1enh.pir" --keep "$work/kept.$1" -o "$work/kept-records.$1.tsv" \
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
keep_one=$(median_time with_catena_keep 1)
keep_two=$(median_time with_catena_keep 2)

# Every file catena keeps equals the programs' own, with -j 1 and with -j 2.
for model in "$work"/models/*.pdb; do
  name=$(basename "$model")
  for file in "$work/kept.1/$name"/*; do
    base=$(basename "$file")
    cmp -s "$file" "$work/hand/$name/$base" || { echo "differs by hand: $name/$base" >&2; exit 1; }
    cmp -s "$file" "$work/kept.2/$name/$base" || { echo "differs with -j 2: $name/$base" >&2; exit 1; }
  done
done

printf 'models: %d (chain %s, from %s), runs: %d, seed %s\n' "$n" "$chain" "$models_dir" "$runs" "$SHUFFLE_SEED"
cmp -s "$work/records.1.tsv" "$work/records.2.tsv" || { echo "records differ between -j 1 and -j 2" >&2; exit 1; }
awk -v n="$n" -v hand="$hand" -v one="$one" -v two="$two" -v k1="$keep_one" -v k2="$keep_two" 'BEGIN {
  printf "%-32s %9s %14s %14s\n", "way", "total (s)", "per model (ms)", "by hand / way"
  row("eight programs by hand", hand)
  row("catena -j 1", one)
  row("catena -j 2", two)
  row("catena -j 1 --keep", k1)
  row("catena -j 2 --keep", k2)
  printf "catena -j 1 / -j 2: %.2f (records only), %.2f (--keep)\n", one / two, k1 / k2
}
function row(name, t) { printf "%-32s %9.3f %14.2f %14.2f\n", name, t, 1000 * t / n, hand / t }'
