#!/usr/bin/env bash
# Builds everything with g++ and clang++, warnings as errors, and runs every
# test, after a short fuzz run of the readers under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

# The number-format tests run under a comma-decimal locale.
if ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  if [ "$(id -u)" = 0 ]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: could not generate de_DE.UTF-8"
  fi
fi

bash fuzz/run.sh 30

for compiler in clang++ g++; do
  dir=build/$compiler
  cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=$compiler -DNORVIK_WARNINGS_AS_ERRORS=ON
  cmake --build "$dir"
  ctest --test-dir "$dir" --output-on-failure -j2
done
