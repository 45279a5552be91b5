#!/usr/bin/env bash
# Installs what is missing, builds, starts the local definitions server on 127.0.0.1 and
# then the program. With no display, a virtual one (Xvfb) is started and a screenshot of
# the window is saved to build/screenshot.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
bash scripts/build.sh

port=${ZC_DEFINITIONS_PORT:-8731}
python3 scripts/definitions-server.py --port "$port" --file build/host/data/definitions.txt &
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
bash scripts/wine-prefix.sh

wine build/windows/win32/app/ZombieCure.exe >build/program.log 2>&1 &
program=$!
if [ -z "$had_display" ] || [ -n "${ZC_XVFB_PID:-}" ]; then
  sleep 8
  import -window root build/screenshot.png 2>/dev/null || true
  echo "No display here: the program runs on the virtual display $DISPLAY."
  echo "A screenshot of its window is saved at $root/build/screenshot.png"
  echo "(look again with: DISPLAY=$DISPLAY import -window root shot.png). Ctrl+C ends it."
fi
wait "$program" || true
