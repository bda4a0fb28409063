"""Comparing records: the differences of `norvik diff --json`."""

import json

import pytest

import norvik


def test_differences_are_the_tools(tool, exchange_files, samples, tmp_path):
    by_kind = {}
    for path in exchange_files:
        by_kind.setdefault(path.suffix, []).append(path)
    for paths in by_kind.values():
        for a, b in zip(paths, paths[1:] + paths[:1]):
            rc, out, err = tool.run("diff", "--json", a, b)
            if rc == 2:  # the tool refuses a file whose content is of another kind than its name says
                assert "--kind auto" in err, (a, b, err)
                continue
            expected = json.loads(out)["differences"]
            differences = norvik.diff(norvik.read(a), norvik.read(b))
            assert [d.to_dict() for d in differences] == expected, (a, b)
            assert [d.path for d in differences] == [e["path"] for e in expected]
            assert [d.old for d in differences] == [e.get("old") for e in expected]
            assert [d.new for d in differences] == [e.get("new") for e in expected]
    # Results, their dicts and changed dicts compare alike.
    result = norvik.read(samples["BL1"])
    assert norvik.diff(result, result.record) == []
    changed = norvik.read(samples["BL1"]).record
    changed["generalGroup"]["acier"] = 275.0
    del changed["rightTraverse"]["efforts"][0]
    differences = norvik.diff(result, changed)
    assert differences[0].to_dict() == {"path": "generalGroup.acier", "old": 355.0, "new": 275.0}
    assert differences[-1].new is None and "new" not in differences[-1].to_dict()


def test_records_of_different_kinds_raise_valueerror(samples):
    with pytest.raises(ValueError, match="different kinds"):
        norvik.diff(norvik.read(samples["BL1"]), norvik.read(samples["BL2"]).record)
