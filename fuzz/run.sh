#!/usr/bin/env bash
# Builds the fuzzers with clang and sanitizers and runs them for a bounded
# time (seconds, default 60): the readers from a seed corpus made of the golden
# files, then the JSON input of `norvik from-json` for a third of that time.
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
# The JSON input of `norvik from-json`, for a third of the time.
json_corpus=$dir/corpus-json
mkdir -p $json_corpus
for kind in BL1 BL2 BL3 BL4 BL5; do
  printf '{"kind":"%s","formatVersion":1,"projectName":"P","generalGroup":{"loadings":[{"number":1}]}}' \
    "$kind" > "$json_corpus/seed-$kind.json"
done
ASAN_OPTIONS=detect_leaks=1 $dir/fuzz/fuzz_from_json -max_total_time=$(( seconds / 3 + 1 )) -max_len=4096 \
  -artifact_prefix=$dir/json- -print_final_stats=1 $json_corpus > $dir/fuzz-json.log 2>&1 || status=$?
tail -n 4 $dir/fuzz-json.log
rm -rf "$TMPDIR"
exit $status
