"""The package as installed: its version, schemas and typing stubs."""

import ast
import importlib.metadata
import inspect
import re
from pathlib import Path

import norvik
from conftest import ROOT

KINDS = ["BL1", "BL2", "BL3", "BL4", "BL5"]


def test_version_and_schemas_are_the_librarys(tool):
    cmake = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    assert norvik.__version__ == re.search(r"project\(NorvikExport VERSION ([0-9.]+)", cmake).group(1)
    try:  # the wheel's (a developer's build beside the library has no metadata)
        assert importlib.metadata.version("norvik") == norvik.__version__
    except importlib.metadata.PackageNotFoundError:
        pass
    assert tool.run("--version")[1].decode().strip() == f"norvik {norvik.__version__}"
    assert list(norvik.KINDS) == KINDS
    for kind in KINDS:
        assert norvik.schema(kind) == tool.json("schema", kind)
        assert norvik.schema(kind.lower())["title"].endswith(f"{kind} record")


def _doc(text):
    return " ".join((text or "").split())


def test_stubs_describe_the_module():
    """Every public name has a stub with the module's own docstring."""
    stub = ast.parse((Path(norvik.__file__).parent / "__init__.pyi").read_text(encoding="utf-8"))
    stubbed = {}
    for node in stub.body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            stubbed[node.name] = node
    for name in norvik.__all__:
        if name.startswith("__") or name == "KINDS":
            continue
        assert name in stubbed, name
        obj = getattr(norvik, name)
        doc = inspect.getdoc(obj)
        if inspect.isclass(obj):
            assert _doc(ast.get_docstring(stubbed[name])) == _doc(doc), name
            members = {n.name: n for n in stubbed[name].body if isinstance(n, ast.FunctionDef)}
            public = [m for m in vars(obj) if not m.startswith("_")]
            assert sorted(members) == sorted(public), name
            for member in public:
                assert _doc(inspect.getdoc(getattr(obj, member))).endswith(
                    _doc(ast.get_docstring(members[member]))), f"{name}.{member}"
        else:
            assert _doc(doc) == _doc(ast.get_docstring(stubbed[name])), name
            stub_arguments = [a.arg for a in stubbed[name].args.args]
            assert list(inspect.signature(obj).parameters) == stub_arguments, name
    assert (Path(norvik.__file__).parent / "py.typed").exists()
