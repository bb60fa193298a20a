#!/bin/sh
# Rebuilds the trained potentials from the natives, byte for byte: the
# structure list, the homology split, then the pair and surface tables trained
# on the training set.
# usage: rebuild_tables.sh    (ADDESTRA=path/to/addestra, NATIVES=natives folder;
#                              see natives_dir.sh for the default)
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
