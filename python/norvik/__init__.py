"""Read, check and write steel-connection exchange files (BL1 to BL5).

    import norvik
    result = norvik.read("joint.bl1")         # result.record: the tool's JSON as a dict
    for f in result.findings:                 # what the reader passed over or misread
        print(f.line, f.severity, f.code, f.message)
    norvik.write(result.record, "copy.bl1")   # through the library's writer

The record layout is the one of `norvik to-json` (docs/json.md); schema(kind)
gives it as a JSON Schema. Every function may be called from several threads
at once; reads release the interpreter lock.
"""

from ._norvik import (
    KINDS,
    Difference,
    Finding,
    Issue,
    ReadResult,
    __version__,
    check_record,
    detect_kind,
    diff,
    read,
    schema,
    to_bytes,
    write,
)

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
