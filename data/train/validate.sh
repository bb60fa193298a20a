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

# pG on the held-out chains' labelled models (data/train/labelled.tsv, written
# by rebuild_tables.sh): the table trained on the training chains' models (the
# shipped one), a null table trained on the same models with their labels
# shuffled, and the calibration plot docs/calibration.svg.
mkdir -p "$out/pg"
labelled="$here/labelled.tsv"
"$addestra" table --labelled "$labelled" --set train --out "$out/pg/pg.cpdf"
cmp "$out/pg/pg.cpdf" "$repo/data/default/pg.cpdf"
"$addestra" table --labelled "$labelled" --set train --shuffle-labels 20261208 --out "$out/pg/pg.null.cpdf"
"$addestra" calibrate --labelled "$labelled" --set held-out --table "$out/pg/pg.cpdf" \
  --null-table "$out/pg/pg.null.cpdf" --svg "$repo/docs/calibration.svg" \
  --title "pG of held-out models: trained table and null" > "$out/pg/calibration.md"
cat "$out/pg/calibration.md"
