#!/bin/sh
# The Snakemake workflow, run on a small batch in shards, gives the records of
# one catena run with the same seed, byte for byte: from a list file (per-model
# chains and identities, failing models whose messages hold quotes, commas and
# brackets) and from a folder, locally and through the Slurm profile (with a
# stand-in sbatch that runs the job script at once).
#   run_workflow.sh SOURCE_DIR BIN_DIR TEST_DATA_DIR
set -eu
if ! command -v snakemake >/dev/null 2>&1; then
  echo "snakemake is not installed: skipped"
  exit 77
fi
src=$1 bin=$2 data=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir models
cp "$data/1ubq.pdb" "$data/2ACY_A.pdb" "$data/1enh.pdb" "$data/1a0q.pdb" models/
tab=$(printf '\t')
cat > batch.list <<LIST
model${tab}chain${tab}identity
models/1ubq.pdb${tab}A${tab}40
models/1a0q.pdb${tab}A${tab}40
models/2ACY_A.pdb${tab}A${tab}55.5
models/missing ],{"x".pdb${tab}A${tab}10
models/1enh.pdb${tab}_${tab}30
models/1ubq.pdb${tab}A${tab}0
LIST

# run NAME SNAKEMAKE_CONFIG... -- CATENA_ARGUMENTS...: the workflow's records
# against one catena run's. $how: how snakemake runs the jobs.
how="--cores 2"
run() {
  name=$1
  shift
  config=""
  while [ "$1" != "--" ]; do
    config="$config $1"
    shift
  done
  shift
  # shellcheck disable=SC2086
  snakemake -s "$src/workflow/Snakefile" $how --quiet --config $config outdir="$name" seed=7 \
    catena="$bin/catena" >"$name.snakemake.log" 2>&1 || {
    cat "$name.snakemake.log"
    exit 1
  }
  status=0
  "$bin/catena" --seed 7 -o "$name.single.tsv" "$@" 2>/dev/null || status=$?
  "$bin/catena" --seed 7 --format json -o "$name.single.json" "$@" 2>/dev/null || status=$?
  [ "$status" -le 8 ] || exit 1
  cmp "$name/records.tsv" "$name.single.tsv"
  cmp "$name/records.json" "$name.single.json"
  echo "$name: $(($(wc -l <"$name/records.tsv") - 1)) records equal to one catena run"
}

run from_list models=batch.list shard_size=2 threads=2 -- --list batch.list
run from_folder models=models shard_size=3 threads=1 chain=A identity=40 -- --chain A --identity 40 models

mkdir fakebin
cat > fakebin/sbatch <<'SBATCH'
#!/bin/sh
for argument; do script=$argument; done
sh "$script" >/dev/null 2>&1 &
echo 4242
SBATCH
chmod +x fakebin/sbatch
PATH="$work/fakebin:$PATH"
how="--profile $src/workflow/profiles/slurm"
run through_slurm models=batch.list shard_size=3 threads=2 -- --list batch.list
