#!/usr/bin/env bash
# Builds the reader fuzzer with clang and sanitizers and runs it for a bounded
# time (seconds, default 60) from a seed corpus made of the golden files.
# A crash is saved under build/fuzz/; copy it to tests/regression/ named after
# the fault (blN-<what>.txt, without the kind byte) so the tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build/fuzz
cmake -S . -B $dir -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DNORVIK_BUILD_FUZZERS=ON \
  -DNORVIK_BUILD_TESTS=OFF -DNORVIK_BUILD_EXAMPLES=OFF -DNORVIK_SANITIZE=address,undefined \
  -DNORVIK_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build $dir > $dir/build.log || { cat $dir/build.log; exit 1; }
corpus=$dir/corpus
mkdir -p $corpus
for file in tests/golden/*.bl? tests/data/*.bl? tests/regression/*.txt; do
  [ -f "$file" ] || continue
  case "$file" in
    *.bl1|*/bl1-*) kind='\x00' ;;
    *.bl2|*/bl2-*) kind='\x01' ;;
    *.bl4|*/bl4-*) kind='\x03' ;;
    *.bl5|*/bl5-*) kind='\x04' ;;
    *) kind='\x02' ;;
  esac
  { printf "$kind"; cat "$file"; } > "$corpus/seed-$(basename "$file")"
done
export TMPDIR=$(mktemp -d)
status=0
ASAN_OPTIONS=detect_leaks=1 $dir/fuzz/fuzz_readers -max_total_time="$seconds" -max_len=8192 \
  -dict=$dir/fuzz/norvik.dict -artifact_prefix=$dir/ -print_final_stats=1 $corpus \
  > $dir/fuzz.log 2>&1 || status=$?
tail -n 8 $dir/fuzz.log
rm -rf "$TMPDIR"
exit $status
