#!/usr/bin/env bash
# Builds both trees: build/host (core, tools, host tests; sanitizers on) and build/windows
# (the program and the Win32-layer tests, cross-compiled with mingw-w64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
# ccache, where installed, makes rebuilds of unchanged sources cheap.
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZC_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build build/host -j "$jobs"

cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -DZC_HOST_TOOLS_DIR="$root/build/host/tools" "${launcher[@]}" >/dev/null
cmake --build build/windows -j "$jobs"
