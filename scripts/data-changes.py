#!/usr/bin/python3
"""Counts the dimension values that changed in the questionnaire's flange
tables (resources/flanges/table*.tsv) and the product tables
(data/products/*.txt) since a git revision, per file.

    /usr/bin/python3 scripts/data-changes.py REV [--list]

A value is one dimension cell of the current file: a non-key column of a
flange table row, or D4..D1 (and H) of a product row as the lookup answers
it (a ring the row's codes do not have is no value). It counts as changed
when the revision answered another text for the same key (flange tables:
size, pressure, variant; product rows: each type or facing code of the row,
size and pressure), or did not have the key at all (new row). Keys the
revision had and the current file no longer has are counted apart.
--list prints every changed value."""
import glob
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
VARIANT_TABLES = (2, 3, 8, 9)


def at_rev(rev, path):
    try:
        return subprocess.run(["git", "-C", ROOT, "show", "%s:%s" % (rev, path)], check=True,
                              capture_output=True).stdout.decode("utf-8")
    except subprocess.CalledProcessError:
        return None


def flange_values(text, table):
    """key -> {column: value} of a flange table."""
    keys = (0, 1, 10) if table in VARIANT_TABLES else (0, 1)
    out = {}
    for line in text.split("\n"):
        cells = line.split("\t")
        if len(cells) < 3:
            continue
        key = "_".join(cells[k] for k in keys)
        out[key] = {c: v for c, v in enumerate(cells) if c not in keys}
    return out


def answers(family, code, column):
    """Whether the lookup answers this ring column for the code; a ring the
    code does not have is left empty (or 0) whatever the row holds."""
    if column not in ("D4", "D1"):
        return True
    if family == "snp":
        return code in ("DE" if column == "D4" else "CE")
    if family == "putg":
        ring = code[1:]
        return ring in (("013", "043", "014", "044") if column == "D4" else ("012", "042", "014", "044"))
    base = code.split("_")[0]
    return base in (("091", "093", "095", "097", "098") if column == "D4" else ("092", "095"))


def product_rows(text):
    """[(line, codes, size, press, {column: value})] of a product file; the
    values are those the lookup answers for each code."""
    rows, columns, family = [], None, ""
    for number, line in enumerate(text.split("\n"), start=1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("family:"):
            family = line.split(":", 1)[1].strip()
        if line.startswith("columns:"):
            columns = [c.strip() for c in line[len("columns:"):].split("|")]
            continue
        if columns is None:
            continue
        fields = [f.strip() for f in line.split("|")]
        record = dict(zip(columns, fields))
        first = record.get("types", record.get("tf", ""))
        codes = list(first) if "types" in record else first.split()
        for code in codes:
            values = {c: record[c] for c in ("D4", "D3", "D2", "D1", "H")
                      if c in record and answers(family, code, c)}
            rows.append((number, code, record["size"], record["press"], values))
    return rows


def compare(current, before, listing, name):
    """current: [{key: {column: value}}], one dict per file row (a product
    row answers one key per code); before: key -> {column: value}."""
    values = changed = fresh = 0
    for row in current:
        columns = sorted({c for cols in row.values() for c in cols})
        new_row = all(before.get(k) is None for k in row)
        for col in columns:
            values += 1
            differ = [(k, cols[col], (before.get(k) or {}).get(col, "-")) for k, cols in row.items()
                      if col in cols and (before.get(k) or {}).get(col) != cols[col]]
            if differ:
                changed += 1
                fresh += new_row
                if listing:
                    print("  %s %s %s: %s" % (name, "/".join(k for k, _, _ in differ), col,
                                              "new row" if new_row else "%s, was %s" % differ[0][1:]))
    return values, changed, fresh


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    rev, listing = sys.argv[1], "--list" in sys.argv
    print("%-22s %7s %7s %9s %8s" % ("file", "values", "changed", "new rows", "removed"))
    totals = [0, 0, 0, 0]
    for path in sorted(glob.glob(os.path.join(ROOT, "resources", "flanges", "table*.tsv"))):
        rel = os.path.relpath(path, ROOT)
        table = int(os.path.basename(path)[5:7])
        now = flange_values(open(path, encoding="utf-8").read(), table)
        was = flange_values(at_rev(rev, rel) or "", table)
        v, c, f = compare([{k: cols} for k, cols in now.items()], was, listing, os.path.basename(path))
        removed = len(set(was) - set(now))
        print("%-22s %7d %7d %9d %8d" % (os.path.basename(path), v, c, f, removed))
        totals = [a + b for a, b in zip(totals, (v, c, f, removed))]
    for path in sorted(glob.glob(os.path.join(ROOT, "data", "products", "*.txt"))):
        rel = os.path.relpath(path, ROOT)
        was = {"%s %s %s" % (code, size, press): values
               for _, code, size, press, values in product_rows(at_rev(rev, rel) or "")}
        # One row answers several codes: its value changed when the answer
        # to any of them did.
        lines = {}
        for line, code, size, press, values in product_rows(open(path, encoding="utf-8").read()):
            lines.setdefault(line, {})["%s %s %s" % (code, size, press)] = values
        now = list(lines.values())
        present = {k for row in now for k in row}
        v, c, f = compare(now, was, listing, os.path.basename(path))
        removed = len(set(was) - present)
        print("%-22s %7d %7d %9d %8d" % (os.path.basename(path), v, c, f, removed))
        totals = [a + b for a, b in zip(totals, (v, c, f, removed))]
    print("%-22s %7d %7d %9d %8d" % ("all", *totals))
    print("(new rows: changed values in rows the revision lacked; removed: keys, or "
          "code/size/pressure of product rows, the revision had and the files no longer have)")


if __name__ == "__main__":
    main()
