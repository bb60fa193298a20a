#!/bin/sh
# Rebuilds the trained tables from the natives, byte for byte: the structure
# list, the homology split, the pair and surface tables trained on the
# training set, then the labelled models and the pG table.
# usage: rebuild_tables.sh    (ADDESTRA=path/to/addestra, NATIVES=natives folder;
#                              see natives_dir.sh for the default; PG_WORK=folder for the
#                              model files and TMalign's answers, JOBS=TMalign runs at once)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
addestra=${ADDESTRA:-"$repo/build/bin/addestra"}
. "$here/natives_dir.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Nothing in the repository is touched until the list is complete.
"$here/make_natives_list.sh" "$natives" > "$work/natives.list"
cp "$work/natives.list" "$here/natives.list"
"$addestra" homology --natives "$here/natives.list" --base "$natives" --out "$here"
"$addestra" potentials --natives "$here/train.list" --base "$natives" --out "$work"
mkdir -p "$repo/data/default"
cp "$work/pair.potential" "$work/surface.potential" "$repo/data/default/"
cp "$work/counts.tsv" "$here/counts.tsv"

# The pG table: labelled models of every chain (TMalign from Debian's tm-align;
# model files in PG_WORK, default a scratch folder), their features with the
# potentials above, and the table from the training chains' models.
pg_work=${PG_WORK:-"$work/pg-models"}
"$addestra" models --split "$here/split.tsv" --homologs "$here/homologs.tsv" --natives "$natives" \
  --pair-potential "$repo/data/default/pair.potential" --surface-potential "$repo/data/default/surface.potential" \
  --work "$pg_work" --out "$here/labelled.tsv" --jobs "${JOBS:-2}"
"$addestra" table --labelled "$here/labelled.tsv" --set train --out "$repo/data/default/pg.cpdf"
