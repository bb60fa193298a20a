#!/bin/sh
# Rebuilds the trained potentials from the natives, byte for byte: the
# structure list, the homology split, then the pair and surface tables trained
# on the training set.
# usage: rebuild_tables.sh    (ADDESTRA=path/to/addestra, NATIVES=natives folder)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
addestra=${ADDESTRA:-"$repo/build/bin/addestra"}
natives=${NATIVES:-"$repo/../shared/data/natives"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$here/make_natives_list.sh" "$natives" > "$here/natives.list"
"$addestra" homology --natives "$here/natives.list" --base "$natives" --out "$here"
"$addestra" potentials --natives "$here/train.list" --base "$natives" --out "$work"
mkdir -p "$repo/data/default"
cp "$work/pair.potential" "$work/surface.potential" "$repo/data/default/"
cp "$work/counts.tsv" "$here/counts.tsv"
