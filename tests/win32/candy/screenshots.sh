#!/usr/bin/env bash
# Photographs the main window's two candy buttons under Wine + Xvfb: at rest, with the
# pointer over each, and pressed; fails when a button does not change its look.
# Usage: screenshots.sh [windows build dir] [output dir]
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
pixel() {  # file x y
  convert "$out/$1.png" -format "%[pixel:p{$2,$3}]" info:
}
# Shoots `name` until the pixel (x, y) differs from the same pixel of `previous`.
shoot_changed() {  # name previous x y
  for _ in $(seq 1 20); do
    shoot "$1" "$left" "$top" "$width" "$height"
    [ "$(pixel "$1" "$3" "$4")" != "$(pixel "$2" "$3" "$4")" ] && return 0
    sleep 0.2
  done
  echo "the look at $3,$4 did not change from $2 to $1" >&2
  failed=1
}
failed=0
read -r _ _ tx ty tw th < <(grep '^button 101' "$positions" | tr -d '\r')
read -r _ _ rx ry rw rh < <(grep '^button 102' "$positions" | tr -d '\r')
# One picture holds both buttons with a margin around them.
left=$((tx - 8)); top=$((ty - 8)); width=$((rx + rw - tx + 16)); height=$((th + 16))

xdotool mousemove 5 5; sleep 0.5
shoot rest "$left" "$top" "$width" "$height"
for b in treat tray; do
  if [ $b = treat ]; then bx=$tx; by=$ty; bw=$tw; bh=$th; else bx=$rx; by=$ry; bw=$rw; bh=$rh; fi
  # A face pixel left of the caption, in the crop's coordinates.
  px=$((bx - left + bw / 6)); py=$((by - top + bh * 3 / 4))
  xdotool mousemove $((bx + bw / 2)) $((by + bh / 2))
  shoot_changed "${b}_hover" rest "$px" "$py"
  xdotool mousedown 1
  shoot_changed "${b}_pressed" "${b}_hover" "$px" "$py"
  xdotool mouseup 1; sleep 0.3
  xdotool mousemove 5 5; sleep 0.3
done
kill "$showcase" 2>/dev/null || true
wait "$showcase" 2>/dev/null || true
rm -f "$positions"
echo "screenshots in $out"
exit "$failed"
