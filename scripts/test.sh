#!/usr/bin/env bash
# Builds everything with g++ and clang++, warnings as errors, and runs every
# test, after a short fuzz run of the readers under the sanitizers; then
# cross-builds for Windows with mingw-w64 and runs every test under wine;
# last the static checks (scripts/lint.sh).
# Stages can be named to run only those: fuzz clang++ g++ windows lint.
set -euo pipefail
cd "$(dirname "$0")/.."
stages="${*:-fuzz clang++ g++ windows lint}"

timings=""
# step NAME COMMAND...: runs the command and records how long it took.
step() {
  local name=$1
  shift
  local start=$SECONDS
  echo "== $name"
  "$@"
  local took=$((SECONDS - start))
  timings+="$(printf '  %-24s %5d s' "$name" "$took")"$'\n'
  echo "== $name: $took s"
}

wants() {
  [[ " $stages " == *" $1 "* ]]
}

report() {
  echo "== time per step"
  printf '%s' "$timings"
  echo "  total                    $SECONDS s"
}
trap report EXIT

step deps bash scripts/deps.sh

# The number-format tests run under a comma-decimal locale (wine has its own).
if (wants g++ || wants clang++) && ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  if [ "$(id -u)" = 0 ]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: could not generate de_DE.UTF-8"
  fi
fi

if wants fuzz; then
  step fuzz bash fuzz/run.sh 30
fi

for compiler in clang++ g++; do
  wants $compiler || continue
  dir=build/$compiler
  step "$compiler configure" cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=$compiler -DNORVIK_WARNINGS_AS_ERRORS=ON
  step "$compiler build" cmake --build "$dir"
  step "$compiler test" ctest --test-dir "$dir" --output-on-failure -j2
done

if wants windows; then
  dir=build/mingw
  prefix="$PWD/$dir/wine"
  step "windows configure" cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DNORVIK_WARNINGS_AS_ERRORS=ON -DNORVIK_WINEPREFIX="$prefix"
  # wine's first start creates its prefix; a fresh one each run keeps runs clean.
  rm -rf "$prefix"
  step "windows wine prefix" env WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wineboot --init
  step "windows build" cmake --build "$dir"
  step "windows test (wine)" ctest --test-dir "$dir" --output-on-failure -j2
fi

# Format, clang-tidy and cppcheck on the library and the tool (scripts/lint.sh
# times its own steps).
if wants lint; then
  step lint bash scripts/lint.sh
fi
