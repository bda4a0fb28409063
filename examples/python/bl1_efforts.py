"""Collect the efforts of every BL1 file under a folder into one table.

    /usr/bin/python3 bl1_efforts.py FOLDER efforts.csv

One row per effort line (EFF) of a beam side: file, side (right or left, as
the file's TRA D and TRA G groups), the effort's number and its three values.
Files with error findings are reported on standard error and left out, since
some of their values may be lost.
"""

import csv
import sys
from pathlib import Path

import norvik

SIDES = {"rightTraverse": "right", "leftTraverse": "left"}


def effort_rows(path):
    result = norvik.read(path)
    if not result.ok:
        for f in result.findings:
            print(f"{path}:{f.line}: {f.severity}: {f.message} [{f.code}]", file=sys.stderr)
        return []
    rows = []
    for group, side in SIDES.items():
        for effort in result.record[group]["efforts"]:
            rows.append([str(path), side, effort["number"], effort["value1"], effort["value2"], effort["value3"]])
    return rows


def main(folder, out):
    files = sorted(p for p in Path(folder).rglob("*") if p.suffix.lower() == ".bl1" and p.is_file())
    with open(out, "w", newline="", encoding="utf-8") as f:
        writer = csv.writer(f)
        writer.writerow(["file", "side", "number", "value1", "value2", "value3"])
        for path in files:
            writer.writerows(effort_rows(path))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
