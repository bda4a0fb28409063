#!/usr/bin/env bash
# Builds everything with g++, warnings as errors, and runs every test; runs
# the suite again built by clang++ under AddressSanitizer and
# UndefinedBehaviorSanitizer (leaks checked), and the concurrency tests under
# ThreadSanitizer, after a short fuzz run of every fuzz target under the
# sanitizers; builds the web page with Emscripten and tests it under Node and
# in Chromium; builds the Python module's wheel and tests it in a fresh
# virtual environment; then cross-builds for Windows with mingw-w64 and runs
# every test under wine. Stages can be named to run only those: fuzz asan tsan
# g++ web python windows lint ("clang++" is taken for asan); last the static
# checks (scripts/lint.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
stages="${*:-fuzz asan tsan g++ web python windows lint}"
stages="${stages//clang++/asan}"

timings=""
# step NAME COMMAND...: runs the command and records how long it took.
step() {
  local name=$1
  shift
  local start=$SECONDS status=0
  echo "== $name"
  "$@" || status=$?
  local took=$((SECONDS - start))
  timings+="$(printf '  %-24s %5d s' "$name" "$took")"$'\n'
  echo "== $name: $took s"
  return $status
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
if (wants g++ || wants asan) && ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  if [ "$(id -u)" = 0 ]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: could not generate de_DE.UTF-8"
  fi
fi

if wants fuzz; then
  # Seven targets, 20 s each, two at a time.
  step fuzz fuzz/run 20
fi

if wants g++; then
  dir=build/g++
  step "g++ configure" cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DNORVIK_WARNINGS_AS_ERRORS=ON
  step "g++ build" cmake --build "$dir"
  step "g++ test" ctest --test-dir "$dir" --output-on-failure -j2
fi

# The Python module: the wheel built as a user builds it (in the tree
# build/python), installed into a fresh virtual environment that sees Debian's
# pytest, and tested there against the norvik tool (the g++ stage's, else one
# built in the wheel's tree beside its libraries); then imported in a plain
# environment, which proves the wheel self-contained.
if wants python; then
  dir=build/python
  python=/usr/bin/python3
  rm -rf "$dir/dist" "$dir/venv" "$dir/venv-plain"
  step "python wheel" env NORVIK_PYTHON_BUILD_DIR="$PWD/$dir" \
    NORVIK_CMAKE_ARGS="-DNORVIK_WARNINGS_AS_ERRORS=ON -DNORVIK_BUILD_TOOL=ON" \
    bash -c 'cd python && "$1" -m build --no-isolation --wheel --outdir "$2"' _ "$python" "$PWD/$dir/dist"
  tool=build/g++/tools/norvik/norvik
  if ! wants g++ || [ ! -x "$tool" ]; then
    tool=$dir/tools/norvik/norvik
    step "python tool" cmake --build "$dir" --target norvik
  fi
  step "python venv" bash -c '"$1" -m venv --system-site-packages "$2/venv" && "$1" -m venv "$2/venv-plain" &&
    for env in venv venv-plain; do "$2/$env/bin/pip" install -q --no-index "$2"/dist/norvik-*.whl; done' \
    _ "$python" "$PWD/$dir"
  step "python test" env NORVIK_TOOL="$PWD/$tool" PYTHONDONTWRITEBYTECODE=1 \
    "$dir/venv/bin/python" -m pytest -q -p no:cacheprovider python/tests
  step "python self-contained" bash -c 'cd / && "$1" -I -c "import norvik, sys; print(norvik.read(sys.argv[1]))" "$2"' \
    _ "$PWD/$dir/venv-plain/bin/python" "$PWD/tests/golden/bl1_example.bl1"
fi

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, leaks
# checked at each program's exit. package.consumers is left to the g++ stage:
# it builds plain copies of the libraries and runs nothing sanitized.
if wants asan; then
  dir=build/clang-asan
  step "asan configure" cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DNORVIK_WARNINGS_AS_ERRORS=ON -DNORVIK_SANITIZE=address,undefined -DNORVIK_BUILD_EXAMPLES=OFF
  step "asan build" cmake --build "$dir"
  step "asan test" env ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$dir" --output-on-failure -j2 -E '^package\.consumers$'
fi

# ThreadSanitizer: the threads test and the tool's parallel check, alone.
if wants tsan; then
  dir=build/clang-tsan
  step "tsan configure" cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DNORVIK_WARNINGS_AS_ERRORS=ON -DNORVIK_SANITIZE=thread -DNORVIK_BUILD_EXAMPLES=OFF
  step "tsan build" cmake --build "$dir" --target norvik_concurrency_tests norvik
  step "tsan test" env TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir "$dir" --output-on-failure -j2 -R '^(Concurrency\.|tool\.check$)'
fi

# The web page: the library compiled to WebAssembly (scripts/web.sh), its
# parity with the native tool under Node, and the page in Chromium. The native
# norvik is the g++ stage's; without that stage only its target is built.
if wants web; then
  dir=build/g++
  if [ ! -f "$dir/build.ninja" ]; then
    step "web configure (native)" cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DNORVIK_WARNINGS_AS_ERRORS=ON
  fi
  step "web build (native norvik)" cmake --build "$dir" -j2 --target norvik
  step "web build" bash scripts/web.sh
  step "web npm ci" npm ci --prefix web --no-audit --no-fund
  web_env=(env NORVIK="$dir/tools/norvik/norvik" NORVIK_WEB=build/web)
  step "web parity (node)" "${web_env[@]}" node --test web/test/parity.test.mjs
  step "web browser (chromium)" "${web_env[@]}" node --test web/test/browser.test.mjs
fi

if wants windows; then
  dir=build/mingw
  prefix="$PWD/$dir/wine"
  step "windows configure" cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DNORVIK_WARNINGS_AS_ERRORS=ON -DNORVIK_WINEPREFIX="$prefix"
  # wine's first start creates its prefix; a fresh one each run keeps runs clean.
  rm -rf "$prefix"
  wine_env=(env WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
  # wineboot returns while the prefix is still being set up, and the build runs
  # each test program once under wine to list its tests. A wineserver exits a
  # few seconds after its last program: a program started while it shuts down
  # fails at once. So each step waits until the previous one's server is gone
  # (a persistent server is no way out: wine's own services would keep the
  # output pipes of the first test open until the end).
  step "windows wine prefix" bash -c '"$@" wineboot --init && "$@" wineserver -w' _ "${wine_env[@]}"
  step "windows build" bash -c 'cmake --build "$1" && shift && "$@" wineserver -w' _ "$dir" "${wine_env[@]}"
  # During the tests one persistent server stays up, so no test program meets
  # a server that is shutting down between two tests ("recvmsg: Connection
  # reset by peer"). wine's own services start with the first program and keep
  # its output open: that first program is a silent one, not a test.
  "${wine_env[@]}" wineserver -p >/dev/null 2>&1
  "${wine_env[@]}" wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  wine_test_status=0
  step "windows test (wine)" ctest --test-dir "$dir" --output-on-failure -j2 || wine_test_status=$?
  "${wine_env[@]}" wineserver -k >/dev/null 2>&1 || true
  [ "$wine_test_status" = 0 ] || exit "$wine_test_status"
fi

# Format, clang-tidy and cppcheck on the library and the tool (scripts/lint.sh
# times its own steps).
if wants lint; then
  step lint bash scripts/lint.sh
fi
