# Sourced by the training scripts: sets $natives, the folder of the natives.
# $NATIVES when set; otherwise ../shared/data/natives beside the repository,
# or beside the main checkout when this one is a linked git worktree.
if [ -n "${NATIVES:-}" ]; then
  natives=$NATIVES
else
  natives="$repo/../shared/data/natives"
  if [ ! -d "$natives" ] && common=$(git -C "$repo" rev-parse --path-format=absolute --git-common-dir 2>/dev/null); then
    natives="$(dirname "$common")/../shared/data/natives"
  fi
fi
if [ ! -d "$natives" ]; then
  echo "no natives folder at '$natives': set NATIVES=DIR" >&2
  exit 8
fi
