#!/usr/bin/env bash
# Builds the library and runs the example host program, which writes a file of
# every kind into out/ and reads the readable kinds back.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/example -G Ninja -DNORVIK_BUILD_TESTS=OFF
cmake --build build/example --target host_example
mkdir -p out
build/example/examples/host_example out
