"""Read, check and write steel-connection exchange files (BL1 to BL5)."""

import os
from typing import Any, Dict, List, Literal, Optional, Tuple, Union

__version__: str
KINDS: Tuple[str, str, str, str, str]

Kind = Literal["BL1", "BL2", "BL3", "BL4", "BL5"]
Record = Dict[str, Any]
Source = Union[str, "os.PathLike[str]", bytes, bytearray, memoryview]

class Finding:
    """What a read passed over or read doubtfully, as the norvik tool's `check --json` gives it."""

    @property
    def line(self) -> int:
        """The line, 1-based as an editor counts; 0: the file."""
    @property
    def column(self) -> Optional[int]:
        """The 1-based byte of the line where the fault starts; None when unknown."""
    @property
    def severity(self) -> Literal["error", "warning"]:
        """'error' (a value lost or misread) or 'warning' (harmless or probably unintended)."""
    @property
    def code(self) -> str:
        """A stable kebab-case identifier ('unknown-keyword')."""
    @property
    def message(self) -> str:
        """The message, in English."""
    @property
    def keyword(self) -> str:
        """The line's keyword; '' when none."""
    @property
    def group(self) -> str:
        """The group's header; '' when none."""
    @property
    def fields(self) -> List[str]:
        """The fields concerned, as paths inside the group."""
    @property
    def paths(self) -> List[str]:
        """The fields concerned, as paths of the record dict ('generalGroup.acier')."""
    def to_dict(self) -> Dict[str, Any]:
        """The finding as one member of `norvik check --json`'s findings."""

class Issue:
    """A value that the exchange file cannot carry as it stands."""

    @property
    def path(self) -> str:
        """The field ('generalGroup.lia')."""
    @property
    def code(self) -> str:
        """A stable identifier ('text-with-blank')."""
    @property
    def message(self) -> str:
        """Why, in English."""

class Difference:
    """A field whose value differs between two records, as `norvik diff --json`."""

    @property
    def path(self) -> str:
        """The field ('generalGroup.acier'), or an array element present in one record only."""
    @property
    def old(self) -> Any:
        """The first record's value: None when unset, or when the element is missing from it."""
    @property
    def new(self) -> Any:
        """The second record's value: None when unset, or when the element is missing from it."""
    def to_dict(self) -> Dict[str, Any]:
        """The difference as `norvik diff --json` gives it: 'old' or 'new' left out where the element is missing."""

class ReadResult:
    """A file as read: its kind, record and findings."""

    @property
    def kind(self) -> Kind:
        """The kind the file was read as: 'BL1' .. 'BL5'."""
    @property
    def project_name(self) -> str:
        """The project name of the tag line; '' when none."""
    @property
    def record(self) -> Record:
        """The record as a dict, equal to json.loads of `norvik to-json`; None for unset values.

        Made on first use, then the same dict."""
    @property
    def findings(self) -> List[Finding]:
        """The findings in file order (a list of Finding), as `norvik check --json`."""
    @property
    def ok(self) -> bool:
        """True when no finding is an error."""
    @property
    def path(self) -> Optional[str]:
        """The path that was read; None for bytes."""

def read(source: Source, kind: Optional[str] = None) -> ReadResult:
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

def write(record: Union[Record, ReadResult], path: Union[str, "os.PathLike[str]"], strict: bool = False) -> List[Issue]:
    """Write a record (a dict as ReadResult.record gives it, or a ReadResult) as an
    exchange file through the library's writer. The kind's extension is added
    unless the path ends in it; the file is replaced whole or not at all.

    Returns the values the file cannot carry as they stand (warnings).
    Raises ValueError, naming the JSON path, for a record of the wrong shape or
    an unknown kind, for a path ending in another kind's extension, and, when
    strict, for any value the file cannot carry (nothing is written); OSError
    when the file cannot be written (an existing file is left as it was)."""

def to_bytes(record: Union[Record, ReadResult], strict: bool = False) -> bytes:
    """The bytes that write() would write for the record. Raises as write() does."""

def check_record(record: Union[Record, ReadResult]) -> List[Issue]:
    """The values of the record (a dict, or a ReadResult) that its exchange file
    will not give back as they stand, in field order. Raises ValueError for a
    record of the wrong shape."""

def schema(kind: str) -> Dict[str, Any]:
    """The JSON Schema (draft 2020-12) of a kind's record dict, as `norvik schema`.
    Raises ValueError for an unknown kind."""

def diff(a: Union[Record, ReadResult], b: Union[Record, ReadResult]) -> List[Difference]:
    """The fields that differ between two records of one kind (dicts, or results
    of read()), in field order, as `norvik diff --json` gives them. Raises
    ValueError for records of different kinds or of the wrong shape."""

def detect_kind(source: Source) -> Optional[Kind]:
    """The kind that a file's tag line and group headers show ('BL1' .. 'BL5'), or
    None when they show none or fit several alike. source: a path or bytes.
    Raises OSError when the file cannot be read."""
