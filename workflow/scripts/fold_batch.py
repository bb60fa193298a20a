"""Splitting a catena batch into shards and merging the shards' records.

The merged JSON is spliced from the shards' texts, never re-serialised, so
its bytes are those catena writes; the TSV is derived from the same records
with catena's TSV rules (empty for null, tab and line ends as blanks).
"""

import json
import os

# Files of a folder that are taken as models, as catena takes a folder's.
STRUCTURE_SUFFIXES = (".pdb", ".ent", ".cif", ".mmcif")


class BatchError(Exception):
    pass


def read_models(models):
    """The header line (empty when there is none) and the model lines of a list
    file, or of a folder, as catena reads them.

    Blank lines and lines starting with '#' are left out; a first line whose
    first field is "model" is the header. A folder gives a one-column list of
    its structure files, sorted by name (byte order), as `FOLDER/NAME`, under
    a "model" header.
    """
    if os.path.isdir(models):
        names = sorted(
            (n for n in os.listdir(models) if _is_structure(n) and not os.path.isdir(os.path.join(models, n))),
            key=lambda n: n.encode(),
        )
        return "model\n", [os.path.join(models, n) + "\n" for n in names]
    with open(models, "r", encoding="utf-8", errors="surrogateescape", newline="") as f:
        text = f.read()
    # Lines end at line feeds only, as catena splits them.
    lines = [line + "\n" for line in text.split("\n")]
    if text.endswith("\n"):
        lines.pop()
    kept = [line for line in lines if line.strip(" \t\r\n") and not line.startswith("#")]
    if kept and kept[0].rstrip("\r\n").split("\t")[0] == "model":
        return kept[0], kept[1:]
    return "", kept


def _is_structure(name):
    lower = name.lower()
    if lower.endswith(".gz"):
        lower = lower[:-3]
    return lower.endswith(STRUCTURE_SUFFIXES)


def shard_count(rows, shard_size):
    return (len(rows) + shard_size - 1) // shard_size


def write_shards(header, rows, shard_size, paths):
    """Writes rows [k * shard_size, (k + 1) * shard_size) under the header to paths[k]."""
    for k, path in enumerate(paths):
        with open(path, "w", encoding="utf-8", errors="surrogateescape", newline="") as f:
            f.write(header)
            f.writelines(rows[k * shard_size : (k + 1) * shard_size])


class _Number(str):
    """A JSON number kept as its text."""


def _records_span(text):
    """Start and end offsets of the inside of the top-level "records" array."""
    depth, i, key = 0, 0, None
    while i < len(text):
        c = text[i]
        if c == '"':
            end = i + 1
            while text[end] != '"':
                end += 2 if text[end] == "\\" else 1
            key = text[i + 1 : end] if depth == 1 else None
            i = end + 1
            continue
        if c in "[{":
            if depth == 1 and c == "[" and key == "records":
                start, level, j = i + 1, 0, i + 1
                while True:
                    if text[j] == '"':
                        j += 1
                        while text[j] != '"':
                            j += 2 if text[j] == "\\" else 1
                    elif text[j] in "[{":
                        level += 1
                    elif text[j] in "]}":
                        if level == 0:
                            return start, j
                        level -= 1
                    j += 1
            depth += 1
        elif c in "]}":
            depth -= 1
        elif c == "," and depth == 1:
            key = None
        i += 1
    raise BatchError('no top-level "records" array')


def _split_elements(inner):
    """The texts of the array elements (with their leading blanks), split at top-level commas."""
    elements, level, start, i = [], 0, 0, 0
    while i < len(inner):
        c = inner[i]
        if c == '"':
            i += 1
            while inner[i] != '"':
                i += 2 if inner[i] == "\\" else 1
        elif c in "[{":
            level += 1
        elif c in "]}":
            level -= 1
        elif c == "," and level == 0:
            elements.append(inner[start:i])
            start = i + 1
        i += 1
    if inner[start:].strip():
        elements.append(inner[start:])
    return elements


def merge_json(texts):
    """One catena JSON document holding the records of every shard, in order.

    Everything outside the records array (the run's own object) is the first
    shard's.
    """
    merged, tail = [], None
    for text in texts:
        json.loads(text)  # a shard cut short is refused here
        start, end = _records_span(text)
        elements = _split_elements(text[start:end])
        if elements:
            last = elements[-1]
            tail = last[len(last.rstrip()) :]
            merged += [e.rstrip() for e in elements]
    first = texts[0]
    start, end = _records_span(first)
    return first[:start] + ",".join(merged) + (tail or "") + first[end:]


def records(text):
    """The records of a catena JSON document, numbers kept as their text."""
    document = json.loads(text, parse_float=_Number, parse_int=_Number, object_pairs_hook=dict)
    return document["records"] if isinstance(document, dict) else document


def _tsv_field(value):
    if value is None:
        return ""
    text = str(value) if isinstance(value, _Number) or isinstance(value, str) else json.dumps(value)
    return text.replace("\t", " ").replace("\n", " ").replace("\r", " ")


def tsv_from_records(recs):
    """catena's TSV: a header line naming the fields, then one line per record."""
    if not recs:
        raise BatchError("no record")
    fields = list(recs[0].keys())
    lines = ["\t".join(fields)]
    for rec in recs:
        if list(rec.keys()) != fields:
            raise BatchError("records with different fields")
        lines.append("\t".join(_tsv_field(rec[f]) for f in fields))
    return "\n".join(lines) + "\n"
