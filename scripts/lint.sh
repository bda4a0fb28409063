#!/usr/bin/env bash
# Static checks of the code, each step timed; exits non-zero on any finding:
#   format    clang-format --dry-run -Werror on every tracked C++ file
#   tidy      clang-tidy (.clang-tidy) on the library, the tool and the Python module
#   cppcheck  cppcheck on the library, the tool and the Python module
# `scripts/lint.sh --fix` instead applies clang-tidy's mechanical fixes
# (braces, explicit bool conversions, the modernize checks) to the library, the
# tool and the Python module, then clang-format to every tracked C++ file.
# clang-tidy reads the compile commands of a clang configure in
# $NORVIK_LINT_BUILD (default build/lint); nothing is compiled.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=check
case "${1:-}" in
  "") ;;
  --fix) mode=fix ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac

build=${NORVIK_LINT_BUILD:-build/lint}
jobs=${NORVIK_LINT_JOBS:-2}
# Only the library, the tool and the Python module are checked; headers outside them are not.
sources='/(Sources|tools|python)/.*\.cpp$'
# The fixes the --fix pass may make on its own.
mechanical='-*,readability-braces-around-statements,readability-implicit-bool-conversion,modernize-use-override,modernize-use-nullptr,modernize-use-using'

pick() {
  local tool
  for tool in "$@"; do
    if command -v "$tool" >/dev/null; then
      echo "$tool"
      return
    fi
  done
  echo "missing $1 (run scripts/deps.sh as root)" >&2
  exit 2
}
clang_format=$(pick clang-format-14 clang-format)
clang_tidy=$(pick clang-tidy-14 clang-tidy)
run_clang_tidy=$(pick run-clang-tidy-14 run-clang-tidy)
apply_replacements=$(pick clang-apply-replacements-14 clang-apply-replacements)
cppcheck=$(pick cppcheck)

timings=""
failed=""
# step NAME COMMAND...: runs the command, records its time and whether it failed.
step() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "== lint $name"
  "$@" || status=$?
  local took=$((SECONDS - start))
  timings+="$(printf '  %-24s %5d s%s' "lint $name" "$took" "$([ $status = 0 ] || echo '  FAILED')")"$'\n'
  echo "== lint $name: $took s"
  [ $status = 0 ] || failed+=" $name"
}

report() {
  echo "== lint: time per step"
  printf '%s' "$timings"
}
trap report EXIT

# Every tracked C++ file, NUL-separated.
cpp_files() {
  git ls-files -z -- '*.cpp' '*.h' '*.hpp' '*.cc'
}

configure() {
  cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DNORVIK_BUILD_TESTS=OFF -DNORVIK_BUILD_EXAMPLES=OFF -DNORVIK_BUILD_BENCHMARKS=OFF \
    -DNORVIK_BUILD_FUZZERS=OFF -DNORVIK_BUILD_PYTHON=ON >/dev/null
}

tidy() {
  "$run_clang_tidy" -p "$build" -j "$jobs" -quiet -clang-tidy-binary "$(command -v "$clang_tidy")" \
    "$@" "$sources"
}

# What the fixes leave (findings that need a person) shows in the output; the
# check run afterwards fails on it.
tidy_fix() {
  tidy -fix -checks="$mechanical" -clang-apply-replacements-binary "$(command -v "$apply_replacements")" || true
}

format_check() {
  cpp_files | xargs -0 "$clang_format" --dry-run -Werror
}

format_fix() {
  cpp_files | xargs -0 "$clang_format" -i
}

cppcheck_check() {
  # Inline suppressions ("// cppcheck-suppress ID ; reason") only; the
  # system headers are not looked into.
  "$cppcheck" --project="$build/compile_commands.json" --file-filter='Sources/*' \
    --file-filter='tools/*' --file-filter='python/*' --enable=warning,performance,portability --std=c++17 \
    --inline-suppr --suppress=missingIncludeSystem --error-exitcode=1 -q -j "$jobs" \
    --template='{file}:{line}: {severity}: {message} [{id}]'
}

step configure configure
if [ "$mode" = fix ]; then
  # The fixes are gathered per file and applied once, so a header included by
  # many files is edited once.
  step "tidy fix" tidy_fix
  step "format fix" format_fix
else
  step format format_check
  step tidy tidy
  step cppcheck cppcheck_check
fi

if [ -n "$failed" ]; then
  echo "lint: failed:$failed" >&2
  exit 1
fi
