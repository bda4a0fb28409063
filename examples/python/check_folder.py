"""Check every exchange file under a folder and write the findings as CSV.

    /usr/bin/python3 check_folder.py FOLDER findings.csv

One row per finding: file, line, severity, code, message; a file that cannot
be read is one error row with the system's reason. Files are read on every
core (reads release the interpreter lock). Exit status 1 when a row is an error.
"""

import csv
import sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import norvik

EXTENSIONS = {"." + kind.lower() for kind in norvik.KINDS}


def findings(path):
    """The rows of one file."""
    try:
        result = norvik.read(path)
    except OSError as e:
        return [(str(path), 0, "error", "unreadable", e.strerror)]
    return [(str(path), f.line, f.severity, f.code, f.message) for f in result.findings]


def main(folder, out):
    files = sorted(p for p in Path(folder).rglob("*") if p.suffix.lower() in EXTENSIONS and p.is_file())
    with ThreadPoolExecutor() as pool:
        rows = [row for file_rows in pool.map(findings, files) for row in file_rows]
    with open(out, "w", newline="", encoding="utf-8") as f:
        writer = csv.writer(f)
        writer.writerow(["file", "line", "severity", "code", "message"])
        writer.writerows(rows)
    errors = sum(row[2] == "error" for row in rows)
    print(f"{len(files)} files, {len(rows)} findings ({errors} errors) -> {out}", file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
