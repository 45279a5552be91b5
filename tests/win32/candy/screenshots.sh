#!/usr/bin/env bash
# Photographs the main window's two candy buttons under Wine + Xvfb: at rest, with the
# pointer over each, and pressed. Usage: screenshots.sh [windows build dir] [output dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=${1:-$root/build/windows}
out=${2:-$root/build/candy-screens}
mkdir -p "$out"
source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"

positions=$(mktemp)
timeout 60 wine "$build/tests/win32/candy/candy_showcase.exe" >"$positions" 2>/dev/null </dev/null &
showcase=$!
for _ in $(seq 1 100); do grep -q '^button 102' "$positions" 2>/dev/null && break; sleep 0.1; done
sleep 1

shoot() {  # name x y w h
  import -window root -crop "$4x$5+$2+$3" +repage "$out/$1.png"
}
read -r _ _ tx ty tw th < <(grep '^button 101' "$positions" | tr -d '\r')
read -r _ _ rx ry rw rh < <(grep '^button 102' "$positions" | tr -d '\r')
# One picture holds both buttons with a margin around them.
left=$((tx - 8)); top=$((ty - 8)); width=$((rx + rw - tx + 16)); height=$((th + 16))

xdotool mousemove 5 5; sleep 0.5
shoot rest "$left" "$top" "$width" "$height"
for b in treat tray; do
  if [ $b = treat ]; then cx=$((tx + tw / 2)); cy=$((ty + th / 2)); else cx=$((rx + rw / 2)); cy=$((ry + rh / 2)); fi
  xdotool mousemove "$cx" "$cy"; sleep 0.5
  shoot "${b}_hover" "$left" "$top" "$width" "$height"
  xdotool mousedown 1; sleep 0.5
  shoot "${b}_pressed" "$left" "$top" "$width" "$height"
  xdotool mouseup 1; sleep 0.3
  xdotool mousemove 5 5; sleep 0.3
done
kill "$showcase" 2>/dev/null || true
wait "$showcase" 2>/dev/null || true
rm -f "$positions"
echo "screenshots in $out"
