"""Shared fixtures: the norvik tool that the module must agree with, and the
exchange files of the repository's tests plus the tool's samples.

The tool: $NORVIK_TOOL, else the first one built in build/ (g++, python, pydev).
"""

import json
import os
import subprocess
from pathlib import Path

import pytest

import norvik

ROOT = Path(__file__).resolve().parents[2]
KINDS = ["BL1", "BL2", "BL3", "BL4", "BL5"]

# The installed module, not the package's sources beside these tests.
assert not Path(norvik.__file__).resolve().is_relative_to(ROOT / "python"), (
    f"norvik imported from the source tree ({norvik.__file__}); install the wheel and run pytest from elsewhere"
)


def _tool():
    given = os.environ.get("NORVIK_TOOL")
    if given:
        return given
    for tree in ("g++", "python", "pydev"):
        candidate = ROOT / "build" / tree / "tools" / "norvik" / "norvik"
        if candidate.exists():
            return str(candidate)
    pytest.fail("no norvik tool: set NORVIK_TOOL or build the norvik target", pytrace=False)


class Tool:
    def __init__(self, path):
        self.path = path

    def run(self, *args, stdin=None):
        p = subprocess.run([self.path, *map(str, args)], input=stdin, capture_output=True, timeout=120)
        return p.returncode, p.stdout, p.stderr.decode("utf-8", "replace")

    def json(self, *args, stdin=None):
        rc, out, err = self.run(*args, stdin=stdin)
        assert rc in (0, 1), f"norvik {' '.join(map(str, args))}: {err}"
        return json.loads(out)


@pytest.fixture(scope="session")
def tool():
    return Tool(_tool())


@pytest.fixture(scope="session")
def samples(tool, tmp_path_factory):
    """The tool's fully filled sample of each kind, by kind."""
    folder = tmp_path_factory.mktemp("samples")
    rc, _, err = tool.run("sample", "--all", folder)
    assert rc == 0, err
    return {k: folder / f"sample.{k.lower()}" for k in KINDS}


@pytest.fixture(scope="session")
def exchange_files(samples):
    """Every *.bl1 .. *.bl5 file under tests/, and the samples."""
    files = sorted(p for p in (ROOT / "tests").rglob("*.bl[1-5]") if p.is_file())
    assert len(files) > 40, "the repository's test files are missing"
    return files + list(samples.values())
