#!/usr/bin/env bash
# ctest's emulator for Windows test programs: runs one program under Wine in the test
# prefix, with a time limit. Output goes through a file, so a Windows process that the
# program leaves behind (and that inherits its output) cannot hold ctest's pipe open.
source "$(dirname "$0")/wine-env.sh"
out=$(mktemp)
timeout --kill-after=10 "${ZC_WINE_TIMEOUT:-300}" wine "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit "$status"
