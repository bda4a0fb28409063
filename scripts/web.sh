#!/usr/bin/env bash
# Builds the web page into build/web/, a static folder: the library and its
# JSON layer compiled to WebAssembly by Debian's Emscripten (in
# build/web-wasm), and the page's own files beside the module.
set -euo pipefail
cd "$(dirname "$0")/.."
wasm=build/web-wasm
out=build/web

# Debian's emcc finds acorn, which its optimizer needs from -O1 on, only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Packages (nlohmann/json) come from the build machine: its headers are copied
# for the cross build, as for Windows.
emcmake cmake -S . -B "$wasm" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_CXX_FLAGS=-fwasm-exceptions \
  -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=BOTH -DNORVIK_WARNINGS_AS_ERRORS=ON \
  -DNORVIK_BUILD_TESTS=OFF -DNORVIK_BUILD_EXAMPLES=OFF -DNORVIK_BUILD_TOOL=OFF -DNORVIK_INSTALL=OFF
cmake --build "$wasm" -j2 --target norvik_web

rm -rf "$out"
mkdir -p "$out"
cp web/page/index.html web/page/page.js web/page/page.css "$out/"
cp "$wasm/web/norvik.js" "$wasm/web/norvik.wasm" "$out/"
echo "web page: $out/index.html"
