"""The example scripts of examples/python, run as a user runs them."""

import csv
import shutil
import subprocess
import sys

from conftest import ROOT

EXAMPLES = ROOT / "examples" / "python"


def _run(script, *args):
    return subprocess.run([sys.executable, str(EXAMPLES / script), *map(str, args)], capture_output=True, text=True)


def _rows(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.reader(f))


def test_checking_a_folder_into_csv(tool, tmp_path):
    folder = tmp_path / "received"
    shutil.copytree(ROOT / "tests" / "data", folder / "data")
    shutil.copytree(ROOT / "tests" / "golden", folder / "deeper" / "golden")
    out = tmp_path / "findings.csv"
    assert _run("check_folder.py", folder, out).returncode == 1  # tests/data holds errors
    report = tool.json("check", "--json", "-r", folder)
    expected = [[entry["path"], str(f["line"]), f["severity"], f["code"], f["message"]]
                for entry in sorted(report["files"], key=lambda e: e["path"]) for f in entry["findings"]]
    rows = _rows(out)
    assert rows[0] == ["file", "line", "severity", "code", "message"]
    assert sorted(rows[1:]) == sorted(expected) and len(expected) > 30


def test_collecting_bl1_efforts(tool, samples, tmp_path):
    folder = tmp_path / "jobs"
    (folder / "hall").mkdir(parents=True)
    shutil.copy(samples["BL1"], folder / "hall" / "frame.bl1")
    shutil.copy(samples["BL2"], folder / "base.bl2")
    shutil.copy(ROOT / "tests" / "data" / "missing-values.bl1", folder / "faulty.bl1")
    out = tmp_path / "efforts.csv"
    run = _run("bl1_efforts.py", folder, out)
    assert run.returncode == 0 and "faulty.bl1" in run.stderr
    record = tool.json("to-json", samples["BL1"])
    expected = [[str(folder / "hall" / "frame.bl1"), side, *("" if e[k] is None else str(e[k])
                 for k in ("number", "value1", "value2", "value3"))]
                for group, side in (("rightTraverse", "right"), ("leftTraverse", "left"))
                for e in record[group]["efforts"]]
    assert _rows(out) == [["file", "side", "number", "value1", "value2", "value3"]] + expected
    assert len(expected) >= 2
