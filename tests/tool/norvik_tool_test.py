"""Runs the built norvik tool as a process: exit codes, outputs, files.

Usage: norvik_tool_test.py NORVIK SOURCE_DIR VERSION GROUP
GROUP is one of the keys of GROUPS; each is one ctest test.
"""
import copy
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

NORVIK, SOURCE, VERSION, GROUP = sys.argv[1:5]
GOLDEN = os.path.join(SOURCE, "tests", "golden")
KINDS = ["BL1", "BL2", "BL3", "BL4", "BL5"]
SKIP = 77
failures = []


def run(*args, stdin=None, cwd=None):
    p = subprocess.run([NORVIK, *args], input=stdin, capture_output=True, cwd=cwd)
    return p.returncode, p.stdout, p.stderr.decode("utf-8", "replace")


def expect(condition, what):
    if not condition:
        failures.append(what)
    return bool(condition)


def samples(folder):
    rc, _, err = run("sample", "--all", folder)
    assert rc == 0, err
    return {k: os.path.join(folder, "sample." + k.lower()) for k in KINDS}


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def group_roundtrip(tmp):
    files = samples(tmp)
    for kind, path in files.items():
        default = read(os.path.join(GOLDEN, kind.lower() + "_default." + kind.lower()))
        name = default.split(b'"')[3].decode().replace("2006.15c2:", "")
        # Fields left out of the JSON take a fresh record's values.
        rc, _, err = run("from-json", "-", os.path.join(tmp, "fresh"),
                         stdin=json.dumps({"kind": kind, "projectName": name}).encode())
        expect(rc == 0 and read(os.path.join(tmp, "fresh." + kind.lower())) == default,
               f"{kind}: fresh record from minimal JSON: {err}")
        # A sample reads back without a finding and carries every value: --strict accepts it.
        rc, doc, err = run("to-json", path)
        expect(rc == 0 and err == "", f"{kind}: to-json of the sample: {err}")
        rc, _, err = run("from-json", "--strict", "-", os.path.join(tmp, "back"), stdin=doc)
        back = os.path.join(tmp, "back." + kind.lower())
        expect(rc == 0 and err == "" and read(back) == read(path),
               f"{kind}: file round trip not byte-identical: {err}")
        again = run("to-json", back)[1]
        expect(json.loads(again) == json.loads(doc), f"{kind}: JSON round trip changed values")
        # Standard input and output, and an OUT that carries the extension.
        rc, by_stdin, _ = run("to-json", "-", "--kind", kind, stdin=read(path))
        expect(rc == 0 and by_stdin == doc, f"{kind}: to-json from standard input")
        rc, out, _ = run("from-json", "-", "-", stdin=doc)
        expect(rc == 0 and out == read(path), f"{kind}: from-json to standard output")
        rc, _, _ = run("from-json", "-", os.path.join(tmp, "named." + kind.lower()), stdin=doc)
        expect(os.path.exists(os.path.join(tmp, "named." + kind.lower())) and
               not os.path.exists(os.path.join(tmp, "named." + kind.lower() + "." + kind.lower())),
               f"{kind}: OUT ending in the extension used as it is")
    # Values the file cannot carry: a warning each, the file written; --strict refuses and writes nothing.
    doc = json.loads(run("to-json", files["BL1"])[1])
    doc["generalGroup"]["lia"] = "two words"
    doc["generalGroup"]["acier"] = 355.1234
    text = json.dumps(doc).encode()
    lossy = os.path.join(tmp, "lossy")
    rc, _, err = run("from-json", "-", lossy, stdin=text)
    expect(rc == 0 and os.path.exists(lossy + ".bl1") and err.splitlines() == [
        l for l in err.splitlines() if l.startswith("norvik: warning: generalGroup.")] and
        "generalGroup.acier:" in err and "[extra-decimals]" in err and "generalGroup.lia:" in err and
        "[text-with-blank]" in err, f"from-json warnings: {rc} {err!r}")
    os.remove(lossy + ".bl1")
    rc, _, err = run("from-json", "--strict", "-", lossy, stdin=text)
    expect(rc == 2 and not os.path.exists(lossy + ".bl1") and "nothing written" in err,
           f"from-json --strict: {rc} {err!r}")
    # A number or text equal to an undefined value reads as unset: a warning; --strict refuses it.
    doc = json.loads(run("to-json", files["BL1"])[1])
    doc["generalGroup"]["acier"] = -123456.78
    doc["generalGroup"]["noeudNum"] = -123456
    text = json.dumps(doc).encode()
    rc, _, err = run("from-json", "-", lossy, stdin=text)
    expect(rc == 0 and err.count("[undefined-value]") == 2 and "generalGroup.acier: -123456.78 " in err
           and "write null" in err, f"from-json of undefined values: {rc} {err!r}")
    os.remove(lossy + ".bl1")
    rc, _, err = run("from-json", "--strict", "-", lossy, stdin=text)
    expect(rc == 2 and not os.path.exists(lossy + ".bl1"), f"from-json --strict of undefined values: {rc} {err!r}")
    # An output name that ends in another kind's extension is refused; one in the kind's own, in any case, is its name.
    doc = run("to-json", files["BL1"])[1]
    rc, _, err = run("from-json", "-", os.path.join(tmp, "y.bl2"), stdin=doc)
    expect(rc == 2 and "the extension of BL2 files" in err and not any(
        n.startswith("y.") for n in os.listdir(tmp)), f"from-json to y.bl2: {rc} {err!r}")
    rc, _, err = run("from-json", "-", os.path.join(tmp, "upper.BL1"), stdin=doc)
    expect(rc == 0 and read(os.path.join(tmp, "upper.bl1")) == read(files["BL1"]), f"from-json to upper.BL1: {err!r}")
    # to-json of a file with an error finding: the JSON all the same, the findings on standard error, exit 1.
    rc, out, err = run("to-json", os.path.join(SOURCE, "tests", "data", "not-a-number.bl1"))
    expect(rc == 1 and json.loads(out)["kind"] == "BL1" and "error: " in err and "[not-a-number]" in err,
           f"to-json of a misread file: {rc} {err!r}")
    # Text beyond ASCII survives JSON -> file -> JSON.
    doc = json.loads(run("to-json", files["BL1"])[1])
    doc["projectName"] = "Zürich – Halle Ø 3"
    doc["generalGroup"]["lia"] = "Überhöht"
    rc, _, err = run("from-json", "-", os.path.join(tmp, "text"), stdin=json.dumps(doc).encode())
    back = json.loads(run("to-json", os.path.join(tmp, "text.bl1"))[1])
    expect(rc == 0 and back["projectName"] == doc["projectName"] and back["generalGroup"]["lia"] == "Überhöht",
           f"UTF-8 text round trip: {back.get('projectName')} {err}")


def exchange_files():
    """(path, kind) of every exchange file under tests/: by extension, the regression inputs by folder."""
    found = []
    for root, _, names in os.walk(os.path.join(SOURCE, "tests")):
        folder = os.path.basename(root)
        for name in sorted(names):
            ext = os.path.splitext(name)[1].lower()
            if ext in [".bl1", ".bl2", ".bl3", ".bl4", ".bl5"]:
                found.append((os.path.join(root, name), ext[1:].upper()))
            elif os.path.basename(os.path.dirname(root)) == "regression" and folder.upper() in KINDS:
                found.append((os.path.join(root, name), folder.upper()))
    return found


# Files that read with warnings only into a record the writer does not write back whole; each waits for the
# library's severities (a value that does not come back is an error).
LOSES_ON_WRITING = {
    # "BOU 20 8.800" without its text: the text reads as empty (no-value, a warning) and the writer leaves the
    # line out, so the number and value are lost; RAI/BOU EXT lines without values keep only a position.
    os.path.join("tests", "data", "no-value.bl1"),
}


# Written from a record whose bolt and notch members hold each other's kinds: it reads into the record that
# puts each line into the member of its keyword, which the writer writes in member order.
FLIPPED = os.path.join("tests", "golden", "bl3_full_flipped.bl3")


def group_everyfile(tmp):
    """to-json then from-json succeeds for every file the library reads; the file reads into the same record
    where the first read had no error finding, and has the same bytes where the writer wrote it."""
    files = [(p, k, os.path.dirname(p) == GOLDEN) for p, k in exchange_files()]  # the writer wrote the golden files
    files += [(p, k, True) for k, p in samples(tmp).items()]
    validators = {k: validator(k) for k in KINDS}
    checked = 0
    for path, kind, written in files:
        rc, doc, err = run("to-json", "--kind", kind, path)
        if not expect(rc in (0, 1) and doc, f"{path}: to-json: {rc} {err[:200]!r}"):
            continue
        schema_errors = [e.message for e in validators[kind].iter_errors(json.loads(doc))]
        expect(not schema_errors, f"{path}: the schema refuses the JSON: {schema_errors[:2]}")
        back = os.path.join(tmp, "back")
        rc2, _, err2 = run("from-json", "-", back, stdin=doc)
        if not expect(rc2 == 0, f"{path}: from-json: {rc2} {err2[:200]!r}"):
            continue
        checked += 1
        if rc == 0 and os.path.relpath(path, SOURCE) not in LOSES_ON_WRITING:
            expect(run("to-json", back + "." + kind.lower())[1] == doc, f"{path}: read back into another record")
        # The golden files with findings were written from records the file cannot carry.
        if written and err == "" and os.path.relpath(path, SOURCE) != FLIPPED:
            expect(read(back + "." + kind.lower()) == read(path), f"{path}: written back with other bytes")
        os.remove(back + "." + kind.lower())
    expect(checked > 60, f"only {checked} files went both ways")


def bad_cases(doc):
    """(name, JSON text or document, path named in the error)."""
    def edit(f):
        d = copy.deepcopy(doc)
        f(d)
        return d
    return [
        ("invalid JSON", '{"kind": "BL1", ', "(document)"),
        ("not an object", [1, 2], "(document)"),
        ("unknown kind", edit(lambda d: d.update(kind="BL9")), "kind"),
        ("no kind", edit(lambda d: d.pop("kind")), "kind"),
        ("format version", edit(lambda d: d.update(formatVersion=2)), "formatVersion"),
        ("unknown field", edit(lambda d: d["generalGroup"].update(colour=1)), "generalGroup.colour"),
        ("text for a number", edit(lambda d: d["generalGroup"]["xy"].__setitem__(2, "abc")),
         'generalGroup.xy[2]: expected a number, got "abc"'),
        ("short array", edit(lambda d: d["generalGroup"]["xy"].pop()), "generalGroup.xy"),
        ("long array", edit(lambda d: d["potGroup"]["raiAmeObliq"].append(1.0)), "potGroup.raiAmeObliq"),
        ("integer range", edit(lambda d: d["generalGroup"].update(noeudNum=2147483648)), "generalGroup.noeudNum"),
        ("fraction for an integer", edit(lambda d: d["generalGroup"].update(noeudNum=1.5)), "generalGroup.noeudNum"),
        ("code table", edit(lambda d: d["potGroup"]["section"].update(type=2)), "potGroup.section.type"),
        ("number for a text", edit(lambda d: d["generalGroup"]["loadings"][1].update(text1=5)),
         "generalGroup.loadings[1].text1"),
        ("object for a group array", edit(lambda d: d["generalGroup"].update(loadings={})), "generalGroup.loadings"),
        ("boolean", edit(lambda d: d["rightTraverse"].update(ang=True)), "rightTraverse.ang"),
        ("key given twice", '{"kind": "BL1", "generalGroup": {"acier": 1, "xy": [1, 2, 3], "acier": 2}}',
         "generalGroup.acier: the key is given twice"),
    ]


def validator(kind):
    sys.path.insert(0, "/usr/lib/python3/dist-packages")
    import jsonschema
    schema = json.loads(run("schema", kind)[1])
    jsonschema.Draft202012Validator.check_schema(schema)
    return jsonschema.Draft202012Validator(schema)


def group_schema(tmp):
    files = samples(tmp)
    for kind in KINDS:
        v = validator(kind)
        expect(v.is_valid({"kind": kind}), f"{kind}: minimal JSON valid")
        doc = json.loads(run("to-json", files[kind])[1])
        errors = [e.message for e in v.iter_errors(doc)]
        expect(not errors, f"{kind}: sample JSON invalid: {errors[:3]}")
    # The examples of docs/json.md are valid and accepted.
    text = read(os.path.join(SOURCE, "docs", "json.md")).decode()
    examples = [json.loads(block.split("```")[0]) for block in text.split("```json")[1:]]
    expect(len(examples) == len(KINDS), "docs/json.md: one example per kind")
    for example in examples:
        expect(validator(example["kind"]).is_valid(example), f"docs example {example['kind']} invalid")
        rc, _, err = run("from-json", "-", os.path.join(tmp, "example"), stdin=json.dumps(example).encode())
        expect(rc == 0, f"docs example {example['kind']} refused: {err}")
    doc = json.loads(run("to-json", files["BL1"])[1])
    v = validator("BL1")
    target = os.path.join(tmp, "out")
    for name, case, path in bad_cases(doc):
        text = case if isinstance(case, str) else json.dumps(case)
        if not isinstance(case, str):
            expect(not v.is_valid(case), f"{name}: the schema accepts it")
        write(target + ".bl1", b"kept")
        rc, _, err = run("from-json", "-", target, stdin=text.encode())
        lines = err.strip().splitlines()
        expect(rc == 2 and len(lines) == 1 and path in lines[0], f"{name}: rc {rc}, error {err!r}")
        expect(read(target + ".bl1") == b"kept", f"{name}: the existing file was changed")
        os.remove(target + ".bl1")
        run("from-json", "-", target, stdin=text.encode())
        expect(not os.path.exists(target + ".bl1"), f"{name}: a file was created")


def group_cli(tmp):
    files = samples(tmp)
    cases = [  # arguments, exit status, text expected in standard output or error
        ([], 2, "a subcommand is required"),
        (["frobnicate"], 2, "norvik --help"),
        (["chekc", files["BL1"]], 2, 'unknown subcommand "chekc" (did you mean check?)'),
        (["--bogus"], 2, "unknown option --bogus\n"),
        (["--json", "check", files["BL1"]], 2, "it is an option of check"),
        (["-V"], 0, "norvik " + VERSION),
        (["show", "--colour", files["BL1"]], 2,
         "show: unknown option --colour (did you mean --color?)\nRun 'norvik show --help'"),
        (["check", "--recrusive", tmp], 2, "(did you mean --recursive?)"),
        (["show", files["BL1"], files["BL2"]], 2, 'show: unexpected argument "'),
        (["check"], 2, "check: PATH is required\nRun 'norvik check --help'"),
        (["show", "--bogus"], 2, "show: unknown option --bogus\n"),
        (["check", "--select", "unknown-keywrd", files["BL1"]], 2, "(did you mean unknown-keyword?)"),
        (["check", "--max-findings", "0", files["BL1"]], 2, "--max-findings"),
        (["check", "--color", "sometimes", files["BL1"]], 2, "--color"),
        (["--help"], 0, "check"),
        (["check", "--help"], 0, "--deny-warnings"),
        (["--version"], 0, "norvik " + VERSION),
        (["show", os.path.join(tmp, "missing.bl1")], 2, "missing.bl1: no such file"),
        (["show", tmp], 2, "is a folder"),
        (["show", "--kind", "BL7", files["BL1"]], 2, "unknown kind"),
        (["to-json", "-"], 2, "give --kind"),
        (["sample", "BL6", os.path.join(tmp, "x")], 2, "unknown kind"),
        (["sample", "BL1"], 2, "KIND OUT"),
        (["schema", "BL0"], 2, "unknown kind"),
        (["diff", files["BL1"], files["BL2"]], 2, "different kinds"),
        (["diff", files["BL1"], files["BL1"]], 0, ""),
        (["check", os.path.join(tmp, "nowhere")], 2, "no exchange file found"),
        (["check", "--kind", "BL1", "-", files["BL1"], "-"], 2, "once only"),
    ]
    for args, status, text in cases:
        rc, out, err = run(*args)
        expect(rc == status and text in out.decode() + err and "A subcommand is required" not in err,
               f"{args}: rc {rc}, {err.strip()[:200]!r}")
        if status == 2 and args and args[0] != "--help":
            expect(len(err.strip().splitlines()) <= 2, f"{args}: more than one error line: {err!r}")

    # show: the fields that differ from a fresh record, in the file's words; --all: every one.
    out = run("show", files["BL1"])[1].decode()
    expect(re.search(r"\ngeneralGroup\.acier +ACIER +line 4 +355\.000\n", out) and "unset" not in out and
           re.search(r"\nleftTraverse\.extBoltsSup\.raiPla\[2\] +RAI PLA SUP +line 68 +90\.000\n", out) and
           re.search(r"\nrightTraverse\.side +TRA D +1 \(TRA D\)\n", out) and "findings: none" in out,
           f"show: {out[:300]!r}")
    expect(re.search(r"\nacr\.pro1 +PRO +unset\n", run("show", "--all", files["BL1"])[1].decode()), "show --all")
    out = run("show", files["BL3"])[1].decode()
    expect(re.search(r"\nsecondaryElementGroup\.connecType +CONNEC_TYPE +line 35 +1 \(PLAT_ABOUT\)\n", out),
           "show of a code")

    # diff: a changed value, a text, an added element, and the JSON form.
    doc = json.loads(run("to-json", files["BL1"])[1])
    doc["generalGroup"]["acier"] = 275.0
    doc["projectName"] = "Hall 2, frame B4"
    doc["generalGroup"]["loadings"].append({"number": 5, "text1": "W", "text2": "Vent", "type": 3})
    doc["rightTraverse"]["dy"] = None
    run("from-json", "-", os.path.join(tmp, "changed"), stdin=json.dumps(doc).encode())
    rc, out, _ = run("diff", files["BL1"], os.path.join(tmp, "changed.bl1"))
    expect(rc == 1 and out.decode().splitlines() == [
        'projectName  "Hall 2, frame B3" -> "Hall 2, frame B4"',
        "generalGroup.acier  ACIER  line 4: 355.000 -> line 4: 275.000",
        'generalGroup.loadings[3]  CHA  (none) -> line 13: {number: 5, text1: "W", text2: "Vent", type: 3}',
        "rightTraverse.dy  DY  line 29: 150.000 -> unset",
    ], f"diff lines: {out.decode()!r}")
    # An element only the first file has, and a file read from standard input.
    doc["rightTraverse"]["efforts"].pop(0)
    run("from-json", "-", os.path.join(tmp, "fewer"), stdin=json.dumps(doc).encode())
    rc, out, _ = run("diff", files["BL1"], "-", stdin=read(os.path.join(tmp, "fewer.bl1")))
    expect(rc == 1 and "rightTraverse.efforts[0].value1  EFF  line 33: 85.400 -> line 33: 64.100" in out.decode() and
           "rightTraverse.efforts[1]  EFF  line 34: {number: 2, value1: 64.1, value2: 103.2, value3: 8.25} -> (none)"
           in out.decode(), f"diff of a shorter array: {out.decode()!r}")
    rc, out, _ = run("diff", "--json", os.path.join(tmp, "changed.bl1"), files["BL1"])
    d = json.loads(out)
    expect(rc == 1 and not d["equal"] and d["differences"][1] == {"path": "generalGroup.acier", "old": 275.0,
                                                                   "new": 355.0}
           and "new" not in d["differences"][2], f"diff --json: {d}")
    # A group that one file has is one line; a file whose content is of another kind is refused.
    text = read(files["BL1"]).decode()
    start = text.index("TRA G")
    write(os.path.join(tmp, "one-side.bl1"), text[:start] + text[text.index("FIN", start) + 4:])
    rc, out, _ = run("diff", files["BL1"], os.path.join(tmp, "one-side.bl1"))
    expect(rc == 1 and re.fullmatch(r"leftTraverse  TRA G  (line \d+: )?group of \d+ values -> \(none\)\n",
                                    out.decode()), f"diff of a group one file has: {out.decode()!r}")
    shutil.copy(files["BL2"], os.path.join(tmp, "bl2-named.bl1"))
    for a, b in [(files["BL1"], os.path.join(tmp, "bl2-named.bl1")), (os.path.join(tmp, "bl2-named.bl1"), files["BL1"])]:
        rc, out, err = run("diff", a, b)
        expect(rc == 2 and out == b"" and "--kind auto" in err and "bl2-named.bl1" in err and
               len(err.splitlines()) == 1, f"diff of a BL2 file named .bl1: {rc} {err!r}")

    # format: docs/format.md is the tool's output.
    rc, out, _ = run("format")
    expect(rc == 0 and out == read(os.path.join(SOURCE, "docs", "format.md")),
           "docs/format.md differs from `norvik format`")


def group_check(tmp):
    files = samples(tmp)
    folder = os.path.join(tmp, "tree")
    os.makedirs(os.path.join(folder, "sub"))
    for k in KINDS:
        shutil.copy(files[k], folder)
        shutil.copy(files[k], os.path.join(folder, "sub"))
    write(os.path.join(folder, ".sample.bl1.tmp"), b"half written")
    write(os.path.join(folder, "notes.txt"), b"not an exchange file")
    os.symlink(os.path.join(folder, "sub"), os.path.join(folder, "link"))
    n = len(KINDS)
    for args, status, count in [([folder], 0, n), (["-r", folder], 0, 2 * n),
                                ([folder, os.path.join(folder, "gone")], 2, n),
                                ([os.path.join(tmp, "empty-nothing")], 2, 0),
                                ([files["BL1"], os.path.join(folder, "notes.txt"), files["BL2"]], 2, 3)]:
        rc, out, err = run("check", *args)
        expect(rc == status and (count == 0 or f"checked {count} files" in err), f"check {args}: {rc} {err!r}")
    rc, out, err = run("check", "--json", "-r", folder)
    report = json.loads(out)
    expect(rc == 0 and report["summary"]["files"] == 2 * n and all(f["findings"] == [] for f in report["files"]),
           f"check --json: {report['summary']}")
    # Many files: the output follows the file order whatever the number of threads.
    many = os.path.join(tmp, "many")
    os.makedirs(many)
    for i in range(240):
        k = KINDS[i % n]
        shutil.copy(files[k], os.path.join(many, f"f{i:03}.{k.lower()}"))
    one = run("check", "--json", "-j", "1", many)
    four = run("check", "--json", "-j", "4", many)
    expect(one[0] == four[0] == 0 and one[1] == four[1] and one[2] == four[2], "check -j 1 and -j 4 differ")
    expect(b"\r" not in one[1] and "\r" not in one[2], "a progress line reached a pipe")


FINDING = re.compile(r"^(.+?):(\d+)(?::\d+)?: (error|warning): (.+) \[([a-z0-9-]+)\]$")
SOURCE_LINE = re.compile(r"^ {0,4}\d+ \| |^ +\| |^note: ")  # a finding's source line, its caret, a note


def group_findings(tmp):
    """check prints each file's findings exactly as listed beside it, as the library reports them."""
    data = os.path.join(SOURCE, "tests", "data")
    rc, out, err = run("check", "-j", "3", data)
    found = {}
    for line in out.decode().splitlines():
        m = FINDING.match(line)
        expect(m or SOURCE_LINE.match(line), f"not a finding line: {line!r}")
        if m:
            name = os.path.basename(m.group(1))
            found.setdefault(name, []).append(f"{m.group(2)} {m.group(3).capitalize()} {m.group(5)}")
    names = sorted(n for n in os.listdir(data) if not n.endswith(".expected"))
    for name in names:
        listed = [l for l in read(os.path.join(data, name + ".expected")).decode().splitlines()
                  if l and not l.startswith("#")]
        expect(found.get(name, []) == listed, f"{name}: printed {found.get(name)}, listed {listed}")
    expect(rc == 1 and f"checked {len(names)} files" in err, f"check of the malformed files: {rc} {err!r}")
    # Standard input gives the same findings, and takes its kind from the content.
    path = os.path.join(data, "multi.bl5")
    rc, out, _ = run("check", "--kind", "auto", "-", stdin=read(path))
    expect(rc == 1 and out == run("check", path)[1].replace(path.encode(), b"<stdin>"), "check of standard input")
    rc, _, err = run("check", "-", stdin=read(path))
    expect(rc == 2 and "give --kind" in err, f"standard input without a kind: {err!r}")

    # Renamed files: --kind auto reads the kind from the tag line and the headers.
    files = samples(tmp)
    renamed = []
    for kind, original in files.items():
        target = os.path.join(tmp, f"received-{kind}.txt")
        shutil.copy(original, target)
        renamed.append(target)
        rc, doc, err = run("to-json", "--kind", "auto", target)
        expect(rc == 0 and doc == run("to-json", original)[1], f"{kind}: --kind auto on a renamed file: {err}")
    mislabelled = os.path.join(tmp, "mislabelled.bl1")
    shutil.copy(files["BL2"], mislabelled)
    rc, out, err = run("check", "--kind", "auto", *renamed, mislabelled)
    expect(rc == 0 and out == b"" and f"checked {len(renamed) + 1} files" in err, f"check --kind auto: {rc} {err!r}")
    rc, out, _ = run("check", mislabelled)
    expect(rc == 1 and b"[wrong-kind]" in out and b"note: give --kind auto" in out,
           "a mislabelled file is read by its extension without --kind auto, which the note names")
    for path, text in [(os.path.join(SOURCE, "CMakeLists.txt"), "neither the tag line nor the headers"),
                       (os.path.join(GOLDEN, "bl1_default.bl1"), "fit BL1 and BL2 alike")]:
        rc, out, err = run("show", "--kind", "auto", path)
        expect(rc == 2 and out == b"" and text in err and len(err.splitlines()) == 1,
               f"--kind auto on {os.path.basename(path)}: {rc} {err!r}")


def group_deps(tmp):
    """A missing package stops configure with a message that names it and scripts/deps.sh."""
    cmake = os.environ.get("NORVIK_CMAKE", "cmake")
    for package, debian in [("nlohmann_json", "nlohmann-json3-dev"), ("CLI11", "libcli11-dev"),
                            ("GTest", "libgtest-dev")]:
        p = subprocess.run([cmake, "-S", SOURCE, "-B", os.path.join(tmp, package), "-G", "Ninja",
                            f"-DCMAKE_DISABLE_FIND_PACKAGE_{package}=ON"], capture_output=True)
        text = " ".join((p.stdout + p.stderr).decode("utf-8", "replace").split())
        expect(p.returncode != 0 and "scripts/deps.sh" in text and debian in text,
               f"configure without {package}: rc {p.returncode}, {text[-300:]!r}")


def group_formats(tmp):
    """check's formats, code choices and colours."""
    files = samples(tmp)
    data = os.path.join(SOURCE, "tests", "data")
    missing = os.path.join(tmp, "gone.bl1")
    empty = os.path.join(tmp, "empty-folder")
    os.makedirs(empty)
    # The JSON report: the tool, its version, every path given with its outcome.
    rc, out, err = run("check", "--json", files["BL1"], missing, empty, os.path.join(data, "not-a-number.bl1"))
    report = json.loads(out)
    expect(rc == 2 and report["tool"] == "norvik" and report["version"] == VERSION and report["formatVersion"] == 1
           and [(p["path"], p["outcome"]) for p in report["paths"]] ==
           [(files["BL1"], "file"), (missing, "missing"), (empty, "folder"),
            (os.path.join(data, "not-a-number.bl1"), "file")]
           and "no such file" in report["paths"][1]["error"] and report["paths"][2]["files"] == 0
           and report["summary"] == {"paths": 4, "files": 2, "errors": report["files"][1]["errors"], "warnings": 0,
                                     "unreadable": 1}
           and report["files"][1]["errors"] >= 3 and report["files"][1]["findings"][0]["code"] == "not-a-number",
           f"check --json: {rc} {out[:600]!r}")
    rc, out, _ = run("check", "--format", "json", missing)
    expect(rc == 2 and json.loads(out)["paths"][0]["outcome"] == "missing", "a report without a file")
    # SARIF 2.1.0: one run, the rules of every code, each result with its rule, file and line.
    rc, out, _ = run("check", "--format", "sarif", os.path.join(data, "unknown-keyword.bl1"), missing)
    log = json.loads(out)
    run0 = log["runs"][0]
    rules = run0["tool"]["driver"]["rules"]
    expect(rc == 2 and log["version"] == "2.1.0" and len(log["runs"]) == 1 and run0["tool"]["driver"]["name"] ==
           "norvik" and len(run0["results"]) == 7 and all(
               rules[r["ruleIndex"]]["id"] == r["ruleId"] == "unknown-keyword" and r["level"] == "error" and
               r["locations"][0]["physicalLocation"]["artifactLocation"]["uri"].endswith("tests/data/unknown-keyword.bl1")
               and r["locations"][0]["physicalLocation"]["region"]["startLine"] >= 4 for r in run0["results"])
           and not run0["invocations"][0]["executionSuccessful"] and
           "gone.bl1" in run0["invocations"][0]["toolExecutionNotifications"][0]["message"]["text"],
           f"check --format sarif: {out[:400]!r}")
    # The bash completion offers the same codes as the rules.
    codes = re.search(r'_norvik_codes="([^"]*)"', read(os.path.join(SOURCE, "tools", "norvik", "norvik.bash"))
                      .decode()).group(1).split()
    expect(sorted(codes) == sorted(r["id"] for r in rules), "the completion's codes differ from the rules")
    # GitHub workflow annotations.
    rc, out, _ = run("check", "--format", "github", os.path.join(data, "no-value.bl1"), missing)
    lines = out.decode().splitlines()
    expect(rc == 2 and lines[0].startswith("::error file=") and "gone.bl1" in lines[0] and all(
        re.match(r"::(error|warning) file=[^,]*no-value\.bl1,line=\d+,(col=\d+,)?title=norvik [a-z-]+::No value", l)
        for l in lines[1:]) and len(lines) == 6 and any(l.startswith("::warning") for l in lines),
        f"check --format github: {lines}")
    # --select and --ignore choose the codes; the counts follow them.
    multi = os.path.join(data, "multi.bl5")
    rc, out, err = run("check", "--select", "missing-values,unknown-keyword", multi)
    codes = re.findall(r"\[([a-z-]+)\]$", out.decode(), re.M)
    expect(rc == 1 and sorted(set(codes)) == ["missing-values", "unknown-keyword"] and
           f"{len(codes)} errors, 0 warnings" in err, f"check --select: {codes} {err!r}")
    rc, out, err = run("check", "--ignore", "missing-values", "--ignore",
                       "unknown-keyword,not-a-number,extra-values,repeated-keyword", multi)
    expect(rc == 0 and "0 errors" in err and b"[missing-values]" not in out, f"check --ignore: {rc} {err!r}")
    # --max-findings sets the library's cap; the counts still count every finding, by code.
    full = json.loads(run("check", "--json", multi)[1])["files"][0]
    rc, out, err = run("check", "--json", "--max-findings", "2", multi)
    capped = json.loads(out)["files"][0]
    kept = capped["findings"]
    expect(rc == 1 and len(kept) == 3 and kept[-1]["code"] == "too-many-findings" and
           (capped["errors"], capped["warnings"]) == (full["errors"], full["warnings"]) and
           sorted((o["code"], o["count"]) for o in capped["omitted"]) ==
           sorted((f["code"], 1) for f in full["findings"][2:]), f"check --max-findings 2: {capped}")
    # Colour: always, never, and on a terminal unless NO_COLOR is set.
    rc, out, _ = run("check", "--color=always", multi)
    expect(b"\033[1;31merror:" in out and b"\033[1;35mwarning:" in out, "--color=always")
    expect(b"\033" not in run("check", "--color", "never", multi)[1] + run("check", multi)[1], "colour in a pipe")
    for env, coloured in [({}, True), ({"NO_COLOR": "1"}, False), ({"NO_COLOR": ""}, True)]:
        expect((b"\033[" in on_terminal(["check", multi], env)) == coloured, f"colour on a terminal with {env}")


def on_terminal(args, env):
    """Standard output of norvik run on a pseudo-terminal."""
    import pty
    master, slave = pty.openpty()
    environment = {k: v for k, v in os.environ.items() if k != "NO_COLOR"}
    environment.update(env, TERM="xterm")
    p = subprocess.Popen([NORVIK, *args], stdout=slave, stderr=subprocess.DEVNULL, env=environment)
    os.close(slave)
    out = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the terminal closes with the process
            break
        if not chunk:
            break
        out += chunk
    p.wait()
    os.close(master)
    return out


def group_usage(tmp):
    """The man page's sections, the installed bash completion and what it completes."""
    build = os.environ.get("NORVIK_BUILD_DIR", "")
    prefix = os.path.join(tmp, "prefix")
    p = subprocess.run([os.environ.get("NORVIK_CMAKE", "cmake"), "--install", build, "--prefix", prefix],
                       capture_output=True)
    expect(p.returncode == 0, f"cmake --install: {p.stderr.decode()[-300:]!r}")
    man = read(os.path.join(prefix, "share", "man", "man1", "norvik.1")).decode()
    expect(all(f'.SH "{s}"' in man or f".SH {s}" in man for s in ["EXIT STATUS", "EXAMPLES", "ENVIRONMENT"]),
           "the man page lacks a section")
    script = os.path.join(prefix, "share", "bash-completion", "completions", "norvik")
    expect(read(script) == read(os.path.join(SOURCE, "tools", "norvik", "norvik.bash")), "completion not installed")
    work = os.path.join(tmp, "work")
    os.makedirs(work)
    for name in ["a.bl1", "b.BL3", "notes.txt", "x.json"]:
        write(os.path.join(work, name), "")

    def complete(line):
        words = line.split(" ")
        command = (f"source {script}; COMP_WORDS=({' '.join(repr(w) for w in words)}); "
                   f"COMP_CWORD={len(words) - 1}; _norvik; printf '%s\\n' \"${{COMPREPLY[@]}}\"")
        p = subprocess.run(["bash", "-c", command], capture_output=True, cwd=work)
        return sorted(p.stdout.decode().split())

    for line, offered in [("norvik ch", ["check"]), ("norvik check --re", ["--recursive"]),
                          ("norvik check --kind ", ["BL1", "BL2", "BL3", "BL4", "BL5", "auto"]),
                          ("norvik check --format s", ["sarif"]), ("norvik to-json --color a", ["always", "auto"]),
                          ("norvik check --select no-value,unknown-k", ["no-value,unknown-keyword"]),
                          ("norvik show ", ["a.bl1", "b.BL3"]), ("norvik from-json ", ["x.json"]),
                          ("norvik schema BL", KINDS), ("norvik --v", ["--version"])]:
        expect(complete(line) == offered, f"completion of {line!r}: {complete(line)}")
    # Every option of a subcommand's help is offered, and no other.
    for sub in ["check", "show", "diff", "to-json", "from-json", "schema", "sample", "format"]:
        helped = set()
        for line in run(sub, "--help")[1].decode().splitlines():
            if line.startswith("  -"):
                helped.update(line.split()[0].split(","))
        offered = set(complete(f"norvik {sub} -"))
        expect(helped == offered, f"completion of {sub} options: {sorted(helped ^ offered)}")


GROUPS = {"roundtrip": group_roundtrip, "schema": group_schema, "cli": group_cli, "check": group_check,
          "findings": group_findings, "deps": group_deps, "everyfile": group_everyfile, "formats": group_formats,
          "usage": group_usage}

if __name__ == "__main__":
    tmp = tempfile.mkdtemp(prefix=f"norvik-tool-{GROUP}-{os.getpid()}-")
    try:
        GROUPS[GROUP](tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)
