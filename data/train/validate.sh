#!/bin/sh
# Threading validation of the shipped potentials on the held-out chains of
# data/train/split.tsv, and the same figures for null tables trained on the
# same structures with every chain's sequence shuffled before counting.
# usage: validate.sh [OUT_DIR]    (ADDESTRA=path/to/addestra, NATIVES=natives folder,
#                                  DECOYS=decoys per native, default 30)
# Writes OUT_DIR (default build/validation)/threading/ and threading-null/:
# threading.tsv (every native and decoy) and summary.tsv (the figures).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
addestra=${ADDESTRA:-"$repo/build/bin/addestra"}
. "$here/natives_dir.sh"
out=${1:-"$repo/build/validation"}
mkdir -p "$out"

threading() { # PAIR SURFACE OUT
  "$addestra" threading --split "$here/split.tsv" --base "$natives" --pair-potential "$1" \
    --surface-potential "$2" --decoys "${DECOYS:-30}" --out "$3"
}

threading "$repo/data/default/pair.potential" "$repo/data/default/surface.potential" "$out/threading"
"$addestra" potentials --natives "$here/train.list" --base "$natives" --shuffle-seed 1 --out "$out/null-tables"
threading "$out/null-tables/pair.potential" "$out/null-tables/surface.potential" "$out/threading-null"
