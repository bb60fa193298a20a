#!/usr/bin/env bash
# Regenerates the golden energy files from a build: the synthetic potentials of
# the tests (write_test_potentials) and a pinned SHUFFLE_SEED per structure.
# Only for a deliberate change of the outputs; review the diff before committing.
set -euo pipefail
bin=${1:?usage: regenerate.sh BUILD_DIR/bin}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/write_test_potentials" "$work/pair.pot" "$work/surface.pot"
while read -r file chain seed; do
  cp "$here/../$file" "$work/$file"
  (cd "$work" && SHUFFLE_SEED=$seed "$bin/vicina" pair.pot "$file" "$chain" > "$file.vicina.out" &&
                 SHUFFLE_SEED=$seed "$bin/exposa" surface.pot "$file" "$chain" > "$file.exposa.out")
  for suffix in vicina.native vicina.random vicina.out exposa.native exposa.random exposa.out; do
    cp "$work/$file.$suffix" "$here/$file.$suffix"
  done
done <<'LIST'
1ubq.pdb A 7
1enh.pdb _ 123
1a0q.pdb L 4000000000
LIST
