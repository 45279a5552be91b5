#!/usr/bin/env bash
# Screenshots of the main window under Wine on a virtual display of its own:
#   build/screenshots/main-window.png      at rest, after start-up
#   build/screenshots/with-findings.png    two planted autorun values listed
#   build/screenshots/treat-message.png    the treat button's message while monitoring
#   build/screenshots/monitoring-off.png   real-time monitoring switched off
#   build/screenshots/tray.png             hidden to the notification area: the tray window
# Usage: bash scripts/screenshots.sh [WINDOWS-BUILD-DIR]   (default build/windows, built
# by scripts/build.sh). It serves the build's sample definitions at the build's own
# definitions address and leaves the prefix's registry as it found it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tree=${1:-build/windows}
program=$tree/win32/app/ZombieCure.exe
driver=$tree/tests/scenario/app/zc_app_driver.exe
out=build/screenshots
for f in "$program" "$driver" "$tree/data/definitions.txt"; do
  [ -e "$f" ] || { echo "missing $f: build the Windows tree first (scripts/build.sh)"; exit 1; }
done
url=$(sed -n 's/^ZC_DEFINITIONS_URL:STRING=//p' "$tree/CMakeCache.txt")
port=$(sed -E 's#^[a-z]+://[^:/]+:([0-9]+)/.*#\1#' <<<"$url")
path=$(sed -E 's#^[a-z]+://[^/]+##' <<<"$url")
mkdir -p "$out"

source scripts/wine-env.sh
unset DISPLAY
source scripts/xvfb.sh
server="" program_pid=""
drv() { timeout 60 wine "$driver" "$@" 2>/dev/null | tr -d '\r'; }
cleanup() {
  [ -n "$program_pid" ] && { drv close >/dev/null || true; sleep 1; kill "$program_pid" 2>/dev/null || true; }
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  drv set-run-value ZcTestAutorun - >/dev/null || true
  drv set-run-value ZcTestAutorun2 - >/dev/null || true
  [ -n "${ZC_XVFB_PID:-}" ] && kill "$ZC_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
bash scripts/wine-prefix.sh

python3 scripts/definitions-server.py --port "$port" --path "$path" --file "$tree/data/definitions.txt" \
  >"$out/server.log" 2>&1 &
server=$!
sleep 1
drv set-run-value ZcTestAutorun - >/dev/null
drv set-run-value ZcTestAutorun2 - >/dev/null

wine "$program" >"$out/program.log" 2>&1 </dev/null &
program_pid=$!
drv wait-window 30000 || { echo "the main window did not appear"; exit 1; }
sleep 3  # start-up, fade and a few indicator steps

shot() {  # NAME: the main window's rectangle of the screen
  read -r x y w h < <(drv rect)
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$1.png"
  echo "saved $out/$1.png"
}
shot main-window

drv set-run-value ZcTestAutorun 'C:\zombie\autorun.exe'
drv set-run-value ZcTestAutorun2 'C:\Program Files\좀비\helper.exe'
sleep 3
shot with-findings

title=$(sed -n 's/^MessageTitle = "\(.*\)"$/\1/p' core/texts/plain_texts.txt)
drv press 110
drv wait-message "$title" 10000 >/dev/null || true
sleep 0.5
import -window root "$out/treat-message.png"
echo "saved $out/treat-message.png"
drv dismiss-message "$title" || true
sleep 0.5

drv click 109
sleep 1
shot monitoring-off

drv press 111
sleep 1.5
import -window root -crop 240x80+0+0 +repage "$out/tray.png"
echo "saved $out/tray.png"
