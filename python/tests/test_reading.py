"""Reading files: the module gives the tool's records and findings, from paths
of any name and from bytes, and raises only for what is not a file's fault."""

import errno
import os
import shutil

import pytest

import norvik

FINDING_MEMBERS = ["line", "column", "severity", "code", "message", "keyword", "group", "fields", "paths"]


def test_records_and_findings_are_the_tools(tool, exchange_files):
    report = tool.json("check", "--json", *exchange_files)
    checked = {entry["path"]: entry for entry in report["files"]}
    for path in exchange_files:
        result = norvik.read(path)
        entry = checked[str(path)]
        assert result.kind == entry["kind"], path
        assert result.record == tool.json("to-json", path), path
        assert [f.to_dict() for f in result.findings] == entry["findings"], path
        assert [{m: getattr(f, m) for m in FINDING_MEMBERS} for f in result.findings] == entry["findings"], path
        assert result.ok == all(f["severity"] != "error" for f in entry["findings"]), path
        assert result.project_name == result.record["projectName"]
        assert result.path == str(path)


def test_bytes_and_detected_kinds_read_as_the_file(exchange_files):
    for path in exchange_files:
        by_path = norvik.read(path)
        by_bytes = norvik.read(path.read_bytes(), kind=by_path.kind)
        assert by_bytes.record == by_path.record, path
        assert by_bytes.findings == by_path.findings, path
        assert by_bytes.path is None
    for path in exchange_files[-5:]:  # the samples: their content tells their kind
        kind = path.suffix[1:].upper()
        assert norvik.detect_kind(path) == kind
        assert norvik.detect_kind(memoryview(path.read_bytes())) == kind
        assert norvik.read(path.read_bytes(), kind="auto").kind == kind
        renamed = path.with_suffix(".txt")
        shutil.copy(path, renamed)
        assert norvik.read(renamed, kind="auto").record == norvik.read(path).record


class _BytesPath:
    """A path-like object whose path is bytes, as os.fsencode gives it."""

    def __init__(self, path):
        self.path = path

    def __fspath__(self):
        return self.path


@pytest.mark.parametrize("name", ["Hällé Ø 3.bl1", "日本の継手.bl1", "🏗 frame B3.bl1", "ünter/Straße.bl1"])
def test_names_beyond_ascii(tmp_path, samples, name):
    target = tmp_path / name
    target.parent.mkdir(exist_ok=True)
    shutil.copy(samples["BL1"], target)
    expected = norvik.read(samples["BL1"]).record
    assert norvik.read(target).record == expected
    assert norvik.read(str(target)).record == expected
    assert norvik.read(target, kind="auto").record == expected
    assert norvik.read(_BytesPath(os.fsencode(target))).record == expected
    assert norvik.detect_kind(target) == "BL1"
    with pytest.raises(FileNotFoundError) as missing:
        norvik.read(target.with_name("missing " + target.name))
    assert missing.value.filename == str(target.with_name("missing " + target.name))


def test_texts_beyond_ascii_in_bytes(samples):
    content = samples["BL1"].read_bytes().replace(b"Hall 2, frame B3", "Zürich – Halle Ø".encode("cp1252"))
    result = norvik.read(content, kind="BL1")
    assert result.project_name == "Zürich – Halle Ø" and result.ok


def test_a_file_of_another_kind_is_read_with_a_finding(samples):
    result = norvik.read(samples["BL2"], kind="BL1")
    assert result.kind == "BL1" and not result.ok
    wrong = [f for f in result.findings if f.code == "wrong-kind"]
    assert len(wrong) == 1 and "BL2" in wrong[0].message and wrong[0].severity == "error"


def test_files_that_cannot_be_opened_raise_oserror(tmp_path):
    missing = tmp_path / "missing.bl1"
    with pytest.raises(FileNotFoundError) as e:
        norvik.read(missing)
    assert e.value.errno == errno.ENOENT and e.value.filename == str(missing)
    folder = tmp_path / "folder.bl1"
    folder.mkdir()
    for kind in (None, "auto"):
        with pytest.raises(IsADirectoryError) as e:
            norvik.read(folder, kind=kind)
        assert e.value.errno == errno.EISDIR and e.value.filename == str(folder)
    with pytest.raises(IsADirectoryError):
        norvik.detect_kind(folder)
    with pytest.raises(FileNotFoundError):
        norvik.detect_kind(missing)


@pytest.mark.parametrize(
    "source, kind, says",
    [
        (b'"NV_ATT","x"\n', None, "give kind="),
        ("report.txt", None, "extension is not .bl1 to .bl5"),
        (b"no tag line and no header\n", "auto", "neither the tag line nor the headers"),
        (b"", "auto", "neither the tag line nor the headers"),
        ("x.bl1", "BL9", "unknown kind"),
        ("x\0y.bl1", None, "null byte"),
    ],
)
def test_a_kind_that_cannot_be_told_raises_valueerror(source, kind, says):
    with pytest.raises(ValueError, match=says):
        norvik.read(source, kind=kind)


def test_bad_content_raises_nothing(tmp_path):
    for content in [b"", b"\0\xff\xfe binary \x00", b"GEN\n  ACIER abc\n", b"\n\n\n", "é".encode() * 1000]:
        path = tmp_path / "bad.bl1"
        path.write_bytes(content)
        assert norvik.read(path).kind == "BL1"
        assert norvik.read(content, kind="BL3").kind == "BL3"
