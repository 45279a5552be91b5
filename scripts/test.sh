#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test: the host unit tests
# (sanitizers on), then the Win32-layer tests and the whole-program scenarios under
# Wine + Xvfb. Exits non-zero when any test fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh

source scripts/wine-env.sh
source scripts/xvfb.sh
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  [ -n "${ZC_XVFB_PID:-}" ] && kill "$ZC_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
bash scripts/wine-prefix.sh

status=0
ctest --test-dir build/host --output-on-failure -j "$(nproc)" 2>&1 | tee build/host-tests.log || status=1
ctest --test-dir build/windows --output-on-failure 2>&1 | tee build/windows-tests.log || status=1

# Each libFuzzer target for a few seconds (bash scripts/fuzz.sh runs them at length).
bash scripts/fuzz.sh 5 2>&1 | tee build/fuzz-short.log || status=1

# One closing line for both rings.
count() { grep -Eo "$1" "$2" | grep -Eo '[0-9]+' | tail -n 1 || echo 0; }
total=$(( $(count 'out of [0-9]+' build/host-tests.log) + $(count 'out of [0-9]+' build/windows-tests.log) ))
failed=$(( $(count '[0-9]+ tests failed' build/host-tests.log) + $(count '[0-9]+ tests failed' build/windows-tests.log) ))
echo
echo "tests: $((total - failed)) passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$status" -eq 0 ]
