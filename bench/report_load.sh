#!/usr/bin/env bash
# Size and load time of catena's HTML report for a large batch, in headless
# Chromium: the shared natives (enzymes, chain A) repeated to COUNT models, the
# rosetta natives among them (blank chain: they fail with --chain A) and ten
# missing files, so that the page holds plots and failures.
#
# usage: bench/report_load.sh BUILD_DIR [COUNT] [RUNS]
# Prints the page size, catena's time, the browser's own timings of the page
# (DOM ready, load event, sorting by a column) and the wall time of a headless
# screenshot, each the median of RUNS, next to those of a one-model page.
# Environment: NATIVES (default: the shared natives beside the project).
set -euo pipefail

build=$(cd "${1:?usage: report_load.sh BUILD_DIR [COUNT] [RUNS]}" && pwd)
count=${2:-1000}
runs=${3:-5}
natives=${NATIVES:-$(cd "$(dirname "$0")/.." && pwd)/../shared/data/natives}
work=$(mktemp -d "${BENCH_TMPDIR:-/tmp}/report-load.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

models=()
for file in "$natives"/rosetta_benchmark_natives/*.pdb; do models+=("$file"); done
for i in $(seq 1 10); do models+=("missing$i.pdb"); done
copy=0
while [ "${#models[@]}" -lt "$count" ]; do
  copy=$((copy + 1))
  mkdir -p "c$copy"
  for file in "$natives"/enzymes213_foldx/*.pdb; do
    [ "${#models[@]}" -ge "$count" ] && break
    ln -s "$file" "c$copy/$(basename "$file")"
    models+=("c$copy/$(basename "$file")")
  done
done

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

start=$(date +%s.%N)
"$build/bin/catena" --chain A --seed 1 --identity 40 -j 2 --report big.html -o big.tsv "${models[@]}" 2>/dev/null || true
catena_time=$(echo "$(date +%s.%N) - $start" | bc)
"$build/bin/catena" --chain A --seed 1 --identity 40 --report small.html -o small.tsv \
  "$natives/enzymes213_foldx/1D6O_A.pdb" 2>/dev/null

# The page's own timings, read back from its title once loaded.
timing='<script>addEventListener("load", function () {
  var n = performance.getEntriesByType("navigation")[0];
  var t0 = performance.now();
  document.querySelectorAll("th")[2].click();
  document.body.offsetHeight;
  document.title = "timing " + n.domContentLoadedEventEnd.toFixed(0) + " " + n.loadEventStart.toFixed(0) + " " +
                   (performance.now() - t0).toFixed(0);
});</script></body>'
browser() {
  timeout 300 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/user" "$@" 2>/dev/null
}
measure() {
  local page=$1
  sed "s#</body>#${timing//$'\n'/ }#" "$page.html" >"$page-timed.html"
  : >"$page.times"
  for run in $(seq 1 "$runs"); do
    title=$(browser --dump-dom "file://$work/$page-timed.html" | grep -o 'timing [0-9 ]*' | head -1)
    start=$(date +%s.%N)
    browser --screenshot="$work/$page.png" --window-size=1280,1000 "file://$work/$page.html" >/dev/null
    echo "$title $(echo "($(date +%s.%N) - $start) * 1000" | bc)" >>"$page.times"
  done
  printf '%-8s %6d models %6d failed %10d bytes  ready %5s ms  load %5s ms  sort %4s ms  screenshot %6.0f ms\n' \
    "$page" "$(($(wc -l <"$page.tsv") - 1))" "$(awk -F'\t' 'NR > 1 && $14 != ""' "$page.tsv" | wc -l)" \
    "$(stat -c %s "$page.html")" "$(awk '{ print $2 }' "$page.times" | median)" \
    "$(awk '{ print $3 }' "$page.times" | median)" "$(awk '{ print $4 }' "$page.times" | median)" \
    "$(awk '{ print $5 }' "$page.times" | median)"
}
echo "catena -j 2 for $count models with --report: ${catena_time} s"
measure small
measure big
