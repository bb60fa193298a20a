#!/bin/sh
# The threading figures on the held-out chains for tables trained on the
# training set with several sparse-data weights s (pair and surface alike):
# how the shipped value was chosen.
# usage: choose_parameters.sh [OUT_DIR] [S...]   (ADDESTRA, NATIVES as for validate.sh;
#                                                  DECOYS default 10; REFERENCE=class or atoms)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
addestra=${ADDESTRA:-"$repo/build/bin/addestra"}
. "$here/natives_dir.sh"
out=${1:-"$repo/build/parameters"}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || set -- 0.002 0.005 0.02 0.1 1
for s in "$@"; do
  "$addestra" potentials --natives "$here/train.list" --base "$natives" --pair-sparse "$s" --surface-sparse "$s" \
    --pair-reference "${REFERENCE:-class}" \
    --out "$out/s$s/tables"
  "$addestra" threading --split "$here/split.tsv" --base "$natives" --pair-potential "$out/s$s/tables/pair.potential" \
    --surface-potential "$out/s$s/tables/surface.potential" --decoys "${DECOYS:-10}" --out "$out/s$s" >/dev/null
  echo "== s = $s"
  cat "$out/s$s/summary.tsv"
done
