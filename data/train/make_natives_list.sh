#!/bin/sh
# Writes the structure list of the training natives: paths relative to the
# natives folder, in byte order, without chain (each chain is then the file's
# first ATOM chain).
# usage: make_natives_list.sh [NATIVES_DIR] > natives.list
# NATIVES_DIR defaults to ../shared/data/natives beside the repository.
set -eu
natives=${1:-"$(cd "$(dirname "$0")/../.." && pwd)/../shared/data/natives"}
cd "$natives"
find . -name '*.pdb' | sed 's#^\./##' | LC_ALL=C sort
