"""Read, check and write steel-connection exchange files (BL1 to BL5).

    import norvik
    result = norvik.read("joint.bl1")         # result.record: the tool's JSON as a dict
    for f in result.findings:                 # what the reader passed over or misread
        print(f.line, f.severity, f.code, f.message)
    norvik.write(result.record, "copy.bl1")   # through the library's writer

The record layout is the one of `norvik to-json` (docs/json.md); schema(kind)
gives it as a JSON Schema. Every function may be called from several threads
at once, and reads release the interpreter lock; results, findings, issues
and differences may be shared between threads (a result's record dict is an
ordinary dict: change it in one thread only).
"""

from . import _norvik
from ._norvik import KINDS, Difference, Finding, Issue, ReadResult, __version__

__all__ = [
    "KINDS",
    "Difference",
    "Finding",
    "Issue",
    "ReadResult",
    "__version__",
    "check_record",
    "detect_kind",
    "diff",
    "read",
    "schema",
    "to_bytes",
    "write",
]

# The classes show as norvik.Finding, not as the extension's.
for _class in (Difference, Finding, Issue, ReadResult):
    _class.__module__ = __name__
del _class


def read(source, kind=None):
    """Read an exchange file.

    source: a path (str or os.PathLike, any Unicode name), or the file's bytes.
    kind:   'BL1' .. 'BL5' to read it as that kind; 'auto' to tell the kind from
            the tag line and the group headers; None (the default) to take it from
            the path's extension (bytes need a kind or 'auto').

    A bad file raises nothing: its faults, a wrong kind included, are the
    result's findings (result.ok is False when one is an error).
    Raises OSError (with errno and the file name) when the file cannot be opened
    or read, and ValueError when the kind cannot be told (no kind for bytes, an
    extension other than .bl1 .. .bl5, or 'auto' on content of no clear kind).
    The interpreter lock is released while the file is read."""
    return _norvik.read(source, kind)


def write(record, path, strict=False):
    """Write a record (a dict as ReadResult.record gives it, or a ReadResult) as an
    exchange file through the library's writer. The kind's extension is added
    unless the path ends in it; the file is replaced whole or not at all.

    Returns the values the file cannot carry as they stand (warnings).
    Raises ValueError, naming the JSON path, for a record of the wrong shape or
    an unknown kind, for a path ending in another kind's extension, and, when
    strict, for any value the file cannot carry (nothing is written); OSError
    when the file cannot be written (an existing file is left as it was)."""
    return _norvik.write(record, path, strict)


def to_bytes(record, strict=False):
    """The bytes that write() would write for the record. Raises as write() does."""
    return _norvik.to_bytes(record, strict)


def check_record(record):
    """The values of the record (a dict, or a ReadResult) that its exchange file
    will not give back as they stand, in field order. Raises ValueError for a
    record of the wrong shape."""
    return _norvik.check_record(record)


def schema(kind):
    """The JSON Schema (draft 2020-12) of a kind's record dict, as `norvik schema`.
    Raises ValueError for an unknown kind."""
    return _norvik.schema(kind)


def diff(a, b):
    """The fields that differ between two records of one kind (dicts, or results
    of read()), in field order, as `norvik diff --json` gives them. Raises
    ValueError for records of different kinds or of the wrong shape."""
    return _norvik.diff(a, b)


def detect_kind(source):
    """The kind that a file's tag line and group headers show ('BL1' .. 'BL5'), or
    None when they show none or fit several alike. source: a path or bytes.
    Raises OSError when the file cannot be read."""
    return _norvik.detect_kind(source)
