#!/bin/sh
# Writes the structure list of the training natives: paths relative to the
# natives folder, in byte order, without chain (each chain is then the file's
# first ATOM chain).
# usage: make_natives_list.sh NATIVES_DIR > natives.list
set -eu
cd "$1"
find . -name '*.pdb' | sed 's#^\./##' | LC_ALL=C sort
