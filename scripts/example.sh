#!/usr/bin/env bash
# Builds the libraries, the example host program and the norvik tool, runs the
# host program (out/hall2.bl1 .. bl5) and then the tool on real files: a sample
# of every kind, checked, one shown, two compared, one through JSON and back.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/example -G Ninja -DNORVIK_BUILD_TESTS=OFF
cmake --build build/example
mkdir -p out
build/example/examples/host_example out

norvik=build/example/tools/norvik/norvik
set -x
$norvik --version
$norvik sample --all out/samples
# Every sample reads back without a finding: check prints nothing and exits 0.
findings=$($norvik check out/samples)
[ -z "$findings" ]
$norvik show out/samples/sample.bl2
# A file that arrives renamed: its kind comes from its content.
cp out/samples/sample.bl4 out/received.txt
$norvik check --kind auto out/received.txt
$norvik to-json out/samples/sample.bl1 | sed 's/"acier": 355.0/"acier": 275.0/' | $norvik from-json - out/changed.bl1
status=0
$norvik diff out/samples/sample.bl1 out/changed.bl1 || status=$?
[ "$status" = 1 ]   # 1: the files differ
$norvik to-json out/samples/sample.bl3 > out/sample.bl3.json
$norvik from-json out/sample.bl3.json out/roundtrip.bl3
cmp out/samples/sample.bl3 out/roundtrip.bl3
