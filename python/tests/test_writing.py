"""Writing records: the bytes of `norvik from-json`, its warnings and
refusals, and an existing file left whole when a write fails."""

import copy
import json
import subprocess
import sys

import pytest

import norvik


def test_bytes_and_warnings_are_from_jsons(tool, exchange_files, tmp_path):
    for path in exchange_files:
        result = norvik.read(path)
        document = json.dumps(result.record).encode()
        rc, written, err = tool.run("from-json", "-", "-", stdin=document)
        if rc != 0:  # refused by the tool: refused here with the same reason
            reason = err.strip().split("standard input: ", 1)[1]
            with pytest.raises(ValueError) as refused:
                norvik.to_bytes(result.record)
            assert str(refused.value) == reason, path
            continue
        assert norvik.to_bytes(result.record) == written, path
        assert norvik.to_bytes(result) == written, path
        warnings = [line for line in err.splitlines() if line.startswith("norvik: warning: ")]
        issues = norvik.check_record(result.record)
        assert [f"norvik: warning: {i.path}: {i.message} [{i.code}]" for i in issues] == warnings, path
        out = tmp_path / ("copy" + path.suffix)
        assert norvik.write(result.record, out) == issues
        assert out.read_bytes() == written


def test_a_read_record_written_back_reads_the_same(samples, tmp_path):
    for kind, path in samples.items():
        result = norvik.read(path)
        assert norvik.write(result, tmp_path / "back", strict=True) == []  # the extension is added
        back = tmp_path / f"back.{kind.lower()}"
        assert back.read_bytes() == path.read_bytes()
        assert norvik.read(back).record == result.record
    # A changed dict of a result is what is written.
    result = norvik.read(samples["BL1"])
    result.record["generalGroup"]["acier"] = 275.0
    norvik.write(result, tmp_path / "changed.bl1")
    assert norvik.read(tmp_path / "changed.bl1").record["generalGroup"]["acier"] == 275.0


def test_names_and_texts_beyond_ascii(samples, tmp_path):
    record = norvik.read(samples["BL1"]).record
    record["projectName"] = "Zürich – Halle Ø 3"
    record["generalGroup"]["lia"] = "Überhöht"
    folder = tmp_path / "Bürogebäude"
    folder.mkdir()
    norvik.write(record, folder / "Knoten 日本")
    back = norvik.read(folder / "Knoten 日本.bl1")
    assert back.project_name == "Zürich – Halle Ø 3" and back.record["generalGroup"]["lia"] == "Überhöht"
    record["projectName"] = "East of Windows-1252: 日本"
    assert b"East of Windows-1252: ??" in norvik.to_bytes(record)
    assert [i.path for i in norvik.check_record(record)] == ["projectName"]


def _bad_records(record):
    """(name, record, the message's start): each refused as `from-json` refuses
    the same JSON, except what the tool's JSON parser refuses first."""

    def edit(change):
        changed = copy.deepcopy(record)
        change(changed)
        return changed

    return [
        ("not a dict", [1, 2], "(document): expected an object"),
        ("unknown kind", edit(lambda r: r.update(kind="BL9")), "kind: unknown kind"),
        ("no kind", edit(lambda r: r.pop("kind")), "kind: missing"),
        ("unknown field", edit(lambda r: r["generalGroup"].update(colour=1)), "generalGroup.colour: unknown field"),
        ("text for a number", edit(lambda r: r["generalGroup"]["xy"].__setitem__(2, "abc")),
         'generalGroup.xy[2]: expected a number, got "abc"'),
        ("short array", edit(lambda r: r["generalGroup"]["xy"].pop()), "generalGroup.xy: expected an array of 3"),
        ("integer range", edit(lambda r: r["generalGroup"].update(noeudNum=2**31)), "generalGroup.noeudNum:"),
        ("huge integer", edit(lambda r: r["generalGroup"].update(noeudNum=10**400)), "generalGroup.noeudNum:"),
        ("code table", edit(lambda r: r["potGroup"]["section"].update(type=2)), "potGroup.section.type:"),
        ("boolean", edit(lambda r: r["rightTraverse"].update(ang=True)), "rightTraverse.ang:"),
        ("not a number", edit(lambda r: r["generalGroup"].update(acier=float("nan"))), "generalGroup.acier:"),
        ("a set", edit(lambda r: r["generalGroup"].update(xy={1.0})), "generalGroup.xy: expected None, a bool"),
        ("a name that is not a text", edit(lambda r: r["generalGroup"].update({1: 2})), "generalGroup: member names"),
        ("a lone surrogate", edit(lambda r: r.update(projectName="\udc80")), "projectName: a text that is not"),
    ]


def test_records_of_the_wrong_shape_raise_valueerror_naming_the_path(samples, tool, tmp_path):
    record = norvik.read(samples["BL1"]).record
    target = tmp_path / "kept.bl1"
    for name, bad, says in _bad_records(record):
        target.write_bytes(b"kept")
        for call in (lambda: norvik.write(bad, target), lambda: norvik.to_bytes(bad),
                     lambda: norvik.check_record(bad), lambda: norvik.diff(bad, record)):
            with pytest.raises(ValueError) as e:
                call()
            assert str(e.value).startswith(says), f"{name}: {e.value}"
        assert target.read_bytes() == b"kept", name
        try:  # what JSON carries as it is, the tool refuses with the same words
            text = json.dumps(bad, allow_nan=False)
        except (TypeError, ValueError):
            continue
        if json.loads(text) != bad:
            continue
        rc, _, err = tool.run("from-json", "-", "-", stdin=text.encode())
        if "invalid JSON" in err:  # beyond a JSON number (10**400)
            continue
        assert rc == 2 and err.strip() == f"norvik: standard input: {e.value}", name


def test_strict_refusals_and_names_of_another_kind(samples, tmp_path):
    record = norvik.read(samples["BL1"]).record
    record["generalGroup"]["lia"] = "two words"
    record["generalGroup"]["acier"] = 355.1234
    target = tmp_path / "lossy.bl1"
    assert {i.code for i in norvik.write(record, target)} == {"text-with-blank", "extra-decimals"}
    target.write_bytes(b"kept")
    with pytest.raises(ValueError) as e:
        norvik.write(record, target, strict=True)
    assert "nothing written" in str(e.value) and "generalGroup.lia:" in str(e.value)
    assert "generalGroup.acier:" in str(e.value) and target.read_bytes() == b"kept"
    with pytest.raises(ValueError, match="nothing written"):
        norvik.to_bytes(record, strict=True)
    with pytest.raises(ValueError, match="extension of BL2 files"):
        norvik.write(record, tmp_path / "other.bl2")
    assert not (tmp_path / "other.bl2").exists() and not (tmp_path / "other.bl2.bl1").exists()


FAILING_WRITE = """
import resource, signal, sys, norvik
record = norvik.read(sys.argv[1]).record
signal.signal(signal.SIGXFSZ, signal.SIG_IGN)        # a write past the limit fails with EFBIG
resource.setrlimit(resource.RLIMIT_FSIZE, (100, 100))
try:
    norvik.write(record, sys.argv[2])
except OSError as e:
    print(e.errno, e.filename, e.strerror, sep="|")
"""


def test_a_failed_write_raises_oserror_and_leaves_the_file(samples, tmp_path):
    target = tmp_path / "existing.bl1"
    target.write_bytes(b"the file as it was\n")
    # In a process of its own: the limit on file sizes holds for root too.
    out = subprocess.run([sys.executable, "-c", FAILING_WRITE, str(samples["BL1"]), str(target)],
                         capture_output=True, text=True, check=True).stdout.strip()
    number, filename, reason = out.split("|")
    assert int(number) != 0 and filename == str(target) and "written" in reason, out
    assert target.read_bytes() == b"the file as it was\n"
    assert [p.name for p in tmp_path.iterdir()] == ["existing.bl1"]  # no temporary file left
    with pytest.raises(FileNotFoundError) as e:
        norvik.write(norvik.read(samples["BL1"]).record, tmp_path / "no folder" / "x.bl1")
    assert e.value.filename == str(tmp_path / "no folder" / "x.bl1")
