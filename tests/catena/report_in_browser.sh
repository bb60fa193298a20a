#!/bin/sh
# The report as a user sees it: catena writes it for three models and a
# missing one; the page must be well-formed, and headless Chromium must show
# the table, the plots and the failed row, and sort the table by a column.
# Exit status 77 (skipped) when Chromium or xmllint is absent.
# Usage: report_in_browser.sh CATENA TEST_DATA_DIR
set -eu
catena=$1
data=$2
for tool in chromium xmllint python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$data/1ubq.pdb" "$data/2ACY_A.pdb" "$data/1D6O_A.pdb" .
status=0
"$catena" --chain A --seed 2 --identity 40 --report report.html -o records.tsv \
  1D6O_A.pdb 1ubq.pdb missing.pdb 2ACY_A.pdb 2>/dev/null || status=$?
[ "$status" = 8 ] || { echo "catena exited with $status, expected 8"; exit 1; }

# Well-formed as XML, and as HTML apart from the SVG elements that
# libxml2's HTML dictionary does not know.
xmllint --noout report.html
xmllint --html --noout report.html 2>html.log || true
if grep -v 'Tag [a-z]* invalid' html.log | grep -q 'error'; then
  cat html.log
  exit 1
fi

browser() {
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" "$@" 2>/dev/null
}
browser --dump-dom "file://$work/report.html" >dom.html
# The same page with a click on the "length" heading once it has loaded.
sed 's#</body>#<script>document.querySelectorAll("th")[2].click();</script></body>#' report.html >sorted.html
browser --dump-dom "file://$work/sorted.html" >sorted-dom.html
browser --screenshot="$work/shot.png" --window-size=1200,1000 "file://$work/report.html" >/dev/null

python3 - <<'PY'
import re, struct, sys, zlib

def fail(message):
    print(message)
    sys.exit(1)

dom = open("dom.html").read()
if 'id="records"' not in dom:
    fail("the table is missing from the DOM")
if dom.count("<svg ") != 3:
    fail("expected 3 plots, found %d" % dom.count("<svg "))
if dom.count('<tr class="failed">') != 1:
    fail("expected one failed row")
if dom.count('tabindex="0"') < 14:
    fail("the sorting script did not run")

# Sorted by length: 76, 98, 107 residues, the failed model (no length) last;
# sorting the numbers as text would put 107 first.
sorted_dom = open("sorted-dom.html").read()
body = sorted_dom[sorted_dom.index("<tbody>"):]
order = re.findall(r'<a href="#model-\d+">([^<]+)</a>', body)
if order != ["1ubq.pdb", "2ACY_A.pdb", "1D6O_A.pdb", "missing.pdb"]:
    fail("sorted by length: %s" % order)

# The screenshot: decode the PNG (8-bit RGB or RGBA) and look for the page's
# colours: text, the failed row's red and a plot's blue curve.
data = open("shot.png", "rb").read()
chunks, at = {}, 8
idat = b""
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    if kind == b"IHDR":
        width, height, depth, colour = struct.unpack(">IIBB", body[:10])
    elif kind == b"IDAT":
        idat += body
    at += 12 + length
if depth != 8 or colour not in (2, 6):
    fail("unexpected PNG format %d/%d" % (depth, colour))
channels = 3 if colour == 2 else 4
raw = zlib.decompress(idat)
stride = width * channels
rows, previous = [], bytearray(stride)
for y in range(height):
    kind = raw[y * (stride + 1)]
    line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for x in range(stride):
        a = line[x - channels] if x >= channels else 0
        b = previous[x]
        c = previous[x - channels] if x >= channels else 0
        if kind == 1: line[x] = (line[x] + a) & 255
        elif kind == 2: line[x] = (line[x] + b) & 255
        elif kind == 3: line[x] = (line[x] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(line)
    previous = line
colours = {}
for line in rows:
    for x in range(0, stride, channels):
        key = tuple(line[x:x + 3])
        colours[key] = colours.get(key, 0) + 1
total = width * height
white = colours.get((255, 255, 255), 0)
if white > 0.97 * total:
    fail("the screenshot is blank (%.1f%% white)" % (100.0 * white / total))
def near(target, tolerance=12):
    return sum(n for c, n in colours.items() if all(abs(c[i] - target[i]) <= tolerance for i in range(3)))
if near((0xfd, 0xe2, 0xe1), 3) < 1000:
    fail("no failed row in the screenshot")
if near((0x1a, 0x5f, 0xb4), 40) < 200:
    fail("no plot curve in the screenshot")
print("report renders: %d x %d, %.1f%% white" % (width, height, 100.0 * white / total))
PY
