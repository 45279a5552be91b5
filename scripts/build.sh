#!/usr/bin/env bash
# Builds both trees: build/host (core, tools, host tests; sanitizers on) and build/windows
# (the program and the Win32-layer tests, cross-compiled with mingw-w64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/build-trees.sh
jobs=$(nproc)

cmake -S . -B build/host "${host_options[@]}" >/dev/null
cmake --build build/host -j "$jobs"

cmake -S . -B build/windows "${windows_options[@]}" >/dev/null
cmake --build build/windows -j "$jobs"
