#!/usr/bin/env bash
# Installs what is missing, builds, starts the local definitions server on 127.0.0.1 (at
# the port and path of the build's definitions address) and then the program. With no
# display, a virtual one (Xvfb) is started and a screenshot of the screen is saved to
# build/screenshot.png once the window has come up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

started=$SECONDS
bash scripts/setup.sh
# Only what running needs: the program, the host tools, the sample sets and the driver.
bash scripts/build-program.sh

url=$(sed -n 's/^ZC_DEFINITIONS_URL:STRING=//p' build/windows/CMakeCache.txt)
port=$(sed -E 's#^[a-z]+://[^:/]+:([0-9]+)/.*#\1#' <<<"$url")
path=$(sed -E 's#^[a-z]+://[^/]+##' <<<"$url")
python3 scripts/definitions-server.py --port "$port" --path "$path" --file build/windows/data/definitions.txt \
  >build/definitions-server.log 2>&1 &
server=$!

source scripts/wine-env.sh
had_display=${DISPLAY:-}
source scripts/xvfb.sh
cleanup() {
  kill "$server" 2>/dev/null || true
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  [ -n "${ZC_XVFB_PID:-}" ] && kill "$ZC_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
[ -z "${ZC_XVFB_PID:-}" ] && export ZC_WINE_MANAGED=Y
bash scripts/wine-prefix.sh

wine build/windows/win32/app/ZombieCure.exe >build/program.log 2>&1 </dev/null &
program=$!
if [ -z "$had_display" ] || [ -n "${ZC_XVFB_PID:-}" ]; then
  # Wait for the main window, then for the end of the fade and the first timer ticks.
  timeout 60 wine build/windows/tests/scenario/app/zc_app_driver.exe wait-window 30000 >/dev/null 2>&1 || true
  echo "The window is up, $((SECONDS - started)) s after the start of run.sh."
  sleep 3
  import -window root build/screenshot.png 2>/dev/null || true
  echo "No display here: the program runs on the virtual display $DISPLAY."
  echo "A screenshot of its window is saved at $root/build/screenshot.png"
  echo "(look again with: DISPLAY=$DISPLAY import -window root shot.png). Ctrl+C ends it."
fi
wait "$program" || true
