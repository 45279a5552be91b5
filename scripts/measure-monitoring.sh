#!/usr/bin/env bash
# Measures what real-time monitoring costs: starts the program under Wine with the sample
# definitions, once per listing route (console, tables, auto), and reports the CPU time of
# its whole process tree (the program, the Wine server, Wine's own helper processes and
# every process the program starts) as a share of one core, with monitoring on and then
# with monitoring off. Needs root for cgroup v1 CPU accounting (/sys/fs/cgroup/cpuacct):
# each run gets a group of its own, which every process started inside it joins.
#
#   bash scripts/measure-monitoring.sh [SECONDS-PER-PHASE] [ROUTE...]   (default 30, all three)
#
# Then, for the tables and console routes, the whole tree's CPU time of one acquisition
# of both listings (what a check tick that lists a process needs), from the listing
# benchmark run once with 1 and once with 21 acquisitions in the same Wine session:
# (CPU of the second run - CPU of the first) / 20.
#
# Build first (bash scripts/build.sh). The driver that waits for the window and clicks
# the monitoring option runs outside the group; only the Wine server's work for it is
# counted, and only between the phases.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-30}
shift || true
routes=("$@")
((${#routes[@]})) || routes=(console tables auto)

program=build/windows/win32/app/ZombieCure.exe
benchmark=build/windows/tests/win32/machine/listing_benchmark.exe
driver=build/windows/tests/scenario/app/zc_app_driver.exe
[ -f "$program" ] && [ -f "$driver" ] || { echo "build first: bash scripts/build.sh"; exit 2; }
accounting=/sys/fs/cgroup/cpuacct
[ -w "$accounting" ] || { echo "needs cgroup v1 CPU accounting at $accounting (as root)"; exit 2; }

url=$(sed -n 's/^ZC_DEFINITIONS_URL:STRING=//p' build/windows/CMakeCache.txt)
port=$(sed -E 's#^[a-z]+://[^:/]+:([0-9]+)/.*#\1#' <<<"$url")
path=$(sed -E 's#^[a-z]+://[^/]+##' <<<"$url")

source scripts/wine-env.sh
source scripts/xvfb.sh
bash scripts/wine-prefix.sh >/dev/null
timeout 30 wineserver -k >/dev/null 2>&1 || true

work=$(mktemp -d)
server="" group="" program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  [ -n "$group" ] && rmdir "$group" 2>/dev/null || true
  [ -n "${ZC_XVFB_PID:-}" ] && kill "$ZC_XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

python3 scripts/definitions-server.py --port "$port" --path "$path" --file build/windows/data/definitions.txt \
  >"$work/server.log" 2>&1 &
server=$!
sleep 1

drv() { timeout 60 wine "$driver" "$@" 2>/dev/null | tr -d '\r'; }
usage() { cat "$group/cpuacct.usage"; }
share() {  # FROM-NS TO-NS -> percent of one core over the phase
  awk -v a="$1" -v b="$2" -v s="$seconds" 'BEGIN { printf "%.1f", (b - a) / (s * 1e9) * 100 }'
}
CHECK2=109 LABEL7=107

printf '%-8s %18s %18s   %s\n' route "monitoring on" "monitoring off" "(processes in the group at the end)"
for route in "${routes[@]}"; do
  group="$accounting/zc-measure-$$-$route"
  mkdir "$group"
  # A shell joins the group and starts the Wine server and a first Wine process there,
  # so that the session's own processes (services, the device host that serves the
  # connection tables, the desktop) belong to the group too; then the program.
  ZC_LISTING_ROUTE=$route bash -c "echo \$\$ > '$group/cgroup.procs'; wineserver -p
    timeout 60 wine cmd /c exit >/dev/null 2>&1; exec wine '$program'" >"$work/program-$route.log" 2>&1 </dev/null &
  program_pid=$!
  for _ in $(seq 1 100); do grep -q . "$group/cgroup.procs" && pgrep -f 'services.exe' >/dev/null && break; sleep 0.2; done
  sleep 2
  drv wait-window 30000 >/dev/null || { echo "the window did not appear ($route)"; exit 1; }
  for _ in $(seq 1 100); do
    [ "$(drv text $LABEL7)" == "$(sed -n 's/^StatusMonitoringOn = "\(.*\)"$/\1/p' core/texts/plain_texts.txt)" ] && break
    sleep 0.3
  done
  sleep 3  # the fade and the first ticks

  start=$(usage); sleep "$seconds"; on=$(share "$start" "$(usage)")
  drv click $CHECK2 >/dev/null
  sleep 3
  start=$(usage); sleep "$seconds"; off=$(share "$start" "$(usage)")
  printf '%-8s %17s%% %17s%%   (%s)\n' "$route" "$on" "$off" \
    "$(for p in $(cat "$group/cgroup.procs"); do ps -o args= -p "$p" 2>/dev/null | sed -E 's#.*[\\/]##; s/ .*//'; done | sort | uniq -c | tr -s ' \n' ' ')"

  drv close >/dev/null || true
  for _ in $(seq 1 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.2; done
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  sleep 1
  rmdir "$group" 2>/dev/null || true
  group=""
done

echo
printf '%-8s %-12s %s\n' route listing "CPU of the whole tree per acquisition"
for route in tables console; do
  for which in connections services both; do
    group="$accounting/zc-measure-$$-bench-$route-$which"
    mkdir "$group"
    arg=$which; [ "$which" == both ] && arg=""
    # A warm-up run, then one acquisition and 21 acquisitions, the group's usage between.
    bash -c "echo \$\$ > '$group/cgroup.procs'
      wineserver -p
      timeout 120 wine '$benchmark' 1 $route $arg >/dev/null 2>&1
      cat '$group/cpuacct.usage'
      timeout 120 wine '$benchmark' 1 $route $arg >/dev/null 2>&1
      cat '$group/cpuacct.usage'
      timeout 300 wine '$benchmark' 21 $route $arg >'$work/bench.txt' 2>&1
      cat '$group/cpuacct.usage'" >"$work/usage.txt" </dev/null
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    sleep 1
    awk -v r="$route" -v w="$which" 'NR == 1 { a = $1 } NR == 2 { b = $1 } NR == 3 { c = $1 }
      END { printf "%-8s %-12s %6.1f ms", r, w, ((c - b) - (b - a)) / 20 / 1e6 }' "$work/usage.txt"
    tr -d '\r' <"$work/bench.txt" | sed -E 's/^[a-z]+ +[a-z]+ *: median +([0-9.]+) ms wall.*/   (median wall \1 ms)/'
    rmdir "$group" 2>/dev/null || true
    group=""
  done
done
