#!/bin/sh
# The pG figures on the held-out chains' labelled models for tables built from
# the training chains' models with several neighbourhood sizes (--min-count)
# and prior weights (--prior-weight): how the shipped values were chosen.
# usage: choose_pg_parameters.sh [OUT_DIR]   (ADDESTRA=path/to/addestra)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
addestra=${ADDESTRA:-"$repo/build/bin/addestra"}
out=${1:-"$repo/build/pg-parameters"}
mkdir -p "$out"
labelled="$here/labelled.tsv"
printf 'min_count\tprior_weight\tresult\n'
for count in 5 20 50; do
  for weight in 0 0.5 1 2 10; do
    table="$out/pg.c$count.w$weight.cpdf"
    "$addestra" table --labelled "$labelled" --set train --min-count "$count" --prior-weight "$weight" --out "$table"
    result=$("$addestra" calibrate --labelled "$labelled" --set held-out --table "$table" | sed -n 3p)
    printf '%s\t%s\t%s\n' "$count" "$weight" "$result"
  done
done
