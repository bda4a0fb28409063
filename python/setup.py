"""Builds the wheel's C++ part with CMake from the repository's sources.

The library, its base library and the module are built in one CMake tree
(NORVIK_BUILD_PYTHON), which lays out the package folder as the wheel holds
it; the module and the two libraries are copied from there into the wheel.

Environment:
  NORVIK_PYTHON_BUILD_DIR  the CMake tree (default: under setuptools' build folder)
  NORVIK_CMAKE_ARGS        more CMake options, e.g. -DNORVIK_WARNINGS_AS_ERRORS=ON
  CMAKE_BUILD_PARALLEL_LEVEL  jobs (default 2)
"""

import os
import re
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent


def library_version():
    """The wheel's version is the library's, from the top-level CMakeLists.txt."""
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(NorvikExport\s+VERSION\s+([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        tree = Path(os.environ.get("NORVIK_PYTHON_BUILD_DIR") or Path(self.build_temp) / "cmake").resolve()
        options = [
            "-DCMAKE_BUILD_TYPE=Release",
            "-DNORVIK_BUILD_PYTHON=ON",
            "-DNORVIK_PYTHON_WHEEL=ON",
            "-DNORVIK_BUILD_TESTS=OFF",
            "-DNORVIK_BUILD_EXAMPLES=OFF",
            "-DNORVIK_BUILD_TOOL=OFF",
            "-DNORVIK_INSTALL=OFF",
            # The module is for the Python that builds the wheel.
            f"-DPython_EXECUTABLE={sys.executable}",
        ]
        try:
            import pybind11

            options.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass  # CMake looks for pybind11's own package files
        if shutil.which("ninja"):
            options += ["-G", "Ninja"]
        options += shlex.split(os.environ.get("NORVIK_CMAKE_ARGS", ""))
        env = dict(os.environ)
        env.setdefault("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(tree), *options], check=True, env=env)
        subprocess.run(["cmake", "--build", str(tree), "--target", "_norvik", "--config", "Release"], check=True,
                       env=env)

        # The package folder holds the module, the libraries (.so.N, or .dll)
        # and copies of the Python files, which setuptools takes from the sources.
        package = tree / "python" / "norvik"
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        modules = list(package.glob("_norvik.*"))
        if len(modules) != 1:
            raise RuntimeError(f"expected one built module in {package}, found {modules}")
        shutil.copyfile(modules[0], target)
        for library in package.iterdir():
            if library != modules[0] and library.suffix not in (".py", ".pyi", ".typed"):
                shutil.copyfile(library, target.parent / library.name)


setup(
    version=library_version(),
    packages=["norvik"],
    package_data={"norvik": ["py.typed", "*.pyi"]},
    ext_modules=[Extension("norvik._norvik", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
)
