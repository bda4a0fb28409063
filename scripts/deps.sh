#!/usr/bin/env bash
# Installs what the build and the tests need, when the machine lacks it.
set -euo pipefail
packages="g++ clang cmake ninja-build libgtest-dev googletest libbenchmark-dev libclang-rt-14-dev locales
  g++-mingw-w64-x86-64-posix wine wine64 nlohmann-json3-dev libcli11-dev help2man python3 python3-jsonschema"
# The static checks of scripts/lint.sh.
packages="$packages clang-format-14 clang-tidy-14 clang-tools-14 cppcheck"
# The web page (scripts/web.sh) and its tests: Debian's Emscripten and
# Chromium, and Node.js with npm where the machine has no Node.js of its own.
packages="$packages emscripten chromium"
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages="$packages nodejs npm"
fi
# The Python module: built against Debian's Python with pybind11, packed as a
# wheel without an index (no isolation), tested with pytest in a venv.
packages="$packages python3-dev pybind11-dev python3-pybind11 python3-build python3-setuptools python3-wheel
  python3-pip python3-venv python3-pytest"
missing=""
for package in $packages; do
  dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "missing packages:$missing (install them as root)" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi
