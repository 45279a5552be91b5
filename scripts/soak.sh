#!/usr/bin/env bash
# The long run: the program under Wine with the sample definitions and real-time
# monitoring on (as at every start) for MINUTES minutes while scripts/soak-sampler.py
# reads its private bytes, working set, threads and handles, and the Wine server's memory,
# every INTERVAL seconds. Writes build/soak/soak-<MINUTES>min.csv and says whether the figures stay
# flat after the first minute (the rule is in soak-sampler.py); exits 1 when they do not.
#
#   bash scripts/soak.sh [MINUTES [INTERVAL]]          default 20 minutes, 30 s
#   bash scripts/soak.sh MINUTES INTERVAL TREE         inside a prepared Wine session (ctest)
#
# Without TREE it builds what it runs (scripts/build-program.sh), prepares the prefix and
# its own Wine session and display, and ends them afterwards. Run it under `nice -n 19`
# on a shared machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
minutes=${1:-20}
interval=${2:-30}
tree=${3:-}
out=$root/build/soak
mkdir -p "$out"

prepared=""
if [ -z "$tree" ]; then
  tree=build/windows
  bash scripts/build-program.sh
fi
tree=$(cd "$tree" && pwd)
program=$tree/win32/app/ZombieCure.exe
driver=$tree/tests/scenario/app/zc_app_driver.exe
url=$(sed -n 's/^ZC_DEFINITIONS_URL:STRING=//p' "$tree/CMakeCache.txt")
port=$(sed -E 's#^[a-z]+://[^:/]+:([0-9]+)/.*#\1#' <<<"$url")
path=$(sed -E 's#^[a-z]+://[^/]+##' <<<"$url")

source scripts/wine-env.sh
source scripts/xvfb.sh
server="" program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    timeout 60 wine "$driver" close >/dev/null 2>&1 || true
    sleep 2
    kill "$program_pid" 2>/dev/null || true
  fi
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  if [ -n "$prepared" ]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi
  [ -n "${ZC_XVFB_PID:-}" ] && kill "$ZC_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
if [ "${3:-}" == "" ]; then
  bash scripts/wine-prefix.sh
  prepared=1
fi

# The definitions server at the build's own address; another run may hold the port a while.
for _ in $(seq 1 60); do
  python3 scripts/definitions-server.py --port "$port" --path "$path" --file "$tree/data/definitions.txt" \
    >"$out/server.log" 2>&1 &
  server=$!
  for _ in $(seq 1 30); do grep -q '^port' "$out/server.log" && break; kill -0 "$server" 2>/dev/null || break; sleep 0.1; done
  grep -q '^port' "$out/server.log" && break
  kill "$server" 2>/dev/null || true
  server=""
  sleep 1
done
[ -n "$server" ] || { echo "soak: the definitions port $port stays busy"; exit 1; }

wine "$program" >"$out/program.log" 2>&1 </dev/null &
program_pid=$!
timeout 60 wine "$driver" wait-window 30000 >/dev/null 2>&1 || { echo "soak: the main window did not appear"; exit 1; }

# The program's Linux process: the wine launcher execs into it, so it keeps the launch's
# pid; the Wine server is the one whose working folder is this prefix's server folder
# (server-<device>-<inode> of the prefix, in hexadecimal).
grep -qa 'ZombieCure.exe' "/proc/$program_pid/cmdline" ||
  { echo "soak: process $program_pid is not the program"; exit 1; }
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
wineserver_pid=""
for pid in $(pgrep -x 'wineserver(64)?' || true); do
  [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" == "$server_dir" ] && wineserver_pid=$pid
done
[ -n "$wineserver_pid" ] || { echo "soak: no Wine server for $WINEPREFIX"; exit 1; }

echo "soak: program pid $program_pid, wineserver pid $wineserver_pid, $minutes min, a sample every $interval s"
python3 scripts/soak-sampler.py --pid "$program_pid" --wineserver "$wineserver_pid" \
  --minutes "$minutes" --interval "$interval" --csv "$out/soak-${minutes}min.csv"
