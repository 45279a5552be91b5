#!/usr/bin/env bash
# Builds only what running the program needs: the host tools the build runs (constgen,
# zdefs, icongen, the development key), the program, the sample definitions sets and their
# signatures, and the small driver program that waits for the window. The test programs
# are not built. Uses the same trees as
# scripts/build.sh (build/host and build/windows), so a later full build reuses the work.
#
# Output stays short: one line per tree on a terminal-less run, ninja's one-line progress
# on a terminal, and the compiler's messages in full when something fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/build-trees.sh
jobs=$(nproc)

# build TREE TARGET...: builds the targets; keeps ninja's output in TREE/build-program.log.
build() {
  local tree=$1 started=$SECONDS
  shift
  if [ -t 1 ]; then
    cmake --build "$tree" -j "$jobs" --target "$@"
    return
  fi
  if cmake --build "$tree" -j "$jobs" --target "$@" >"$tree/build-program.log" 2>&1; then
    local steps
    steps=$(grep '^\[[0-9]*/[0-9]*\]' "$tree/build-program.log" | grep -vc 'Re-checking globbed' || true)
    if ((steps == 0)); then
      echo "build: $tree: up to date"
    else
      echo "build: $tree: $steps steps done in $((SECONDS - started)) s"
    fi
  else
    grep -v '^\[[0-9]*/[0-9]*\]' "$tree/build-program.log" | head -n 60
    echo "build: $tree failed (the whole output is in $tree/build-program.log)"
    return 1
  fi
}

# configure TREE ARGS...: only when the tree has not been configured yet.
configure() {
  local tree=$1
  shift
  [ -f "$tree/build.ninja" ] && return 0
  echo "build: configuring $tree"
  cmake -S . -B "$tree" "$@" >"$tree.configure.log" 2>&1 ||
    { cat "$tree.configure.log"; return 1; }
}

# existing TREE TARGET...: the targets that TREE has (some depend on the build's options).
existing() {
  local tree=$1 target
  shift
  for target in "$@"; do
    grep -q "^build $target: phony" "$tree/build.ninja" && echo "$target"
  done
  return 0
}

mkdir -p build
configure build/host "${host_options[@]}"
# The development key pair signs the sample sets and is the key the program trusts.
mapfile -t targets < <(existing build/host constgen zdefs icongen zc_development_key)
build build/host "${targets[@]}"

configure build/windows "${windows_options[@]}"
mapfile -t targets < <(existing build/windows ZombieCure zc_sample_definitions zc_sample_signatures zc_app_driver)
build build/windows "${targets[@]}"
