# Sourced by the main window's scenarios. Arguments of every scenario:
#   PROGRAM DRIVER DATA-DIR DEFINITIONS-URL
# It serves the definitions at the program's own address (the port and path of the
# build's definitions address), starts the program under Wine, drives it with the
# driver program and reads back what its window shows. Nothing is left running.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
program=$1
driver=$2
data=$3
url=$4
port=$(sed -E 's#^[a-z]+://[^:/]+:([0-9]+)/.*#\1#' <<<"$url")
path=$(sed -E 's#^[a-z]+://[^/]+##' <<<"$url")
[[ $port =~ ^[0-9]+$ ]] || { echo "no port in the definitions address $url"; exit 2; }

source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"
work=$(mktemp -d)
server=""
program_pid=""
failures=0

# Control ids of the main window.
LABEL1=101 LABEL2=102 LABEL3=103 LABEL4=104 LABEL5=105 LABEL6=106 LABEL7=107
CHECK1=108 CHECK2=109 TREAT_BUTTON=110 TRAY_BUTTON=111

# The plain value of a text constant.
plain() { sed -n "s/^$1 = \"\(.*\)\"\$/\1/p" "$root/core/texts/plain_texts.txt"; }

drv() { timeout 60 wine "$driver" "$@" 2>>"$work/driver.err" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

check() {  # ACTUAL EXPECTED WHAT
  if [ "$1" == "$2" ]; then
    echo "ok: $3"
  else
    echo "FAIL: $3"
    echo "   got:      [$1]"
    echo "   expected: [$2]"
    failures=$((failures + 1))
  fi
}

# Runs a command until its output equals EXPECTED or SECONDS pass; prints the last output.
wait_for() {  # SECONDS EXPECTED command...
  local seconds=$1 expected=$2 out=""
  shift 2
  local end=$((SECONDS + seconds))
  while :; do
    out=$("$@" 2>/dev/null || true)
    if [ "$out" == "$expected" ] || ((SECONDS >= end)); then break; fi
    sleep 0.3
  done
  printf '%s' "$out"
}

# Runs COMMAND in the background until it prints a line starting with READY, which it
# does once it holds the build's definitions port. While another run holds the port, the
# command fails and is tried again.
hold_port() {  # READY command...
  local ready=$1 end=$((SECONDS + 90))
  shift
  while :; do
    "$@" >"$work/server.out" 2>&1 &
    server=$!
    for _ in $(seq 1 50); do
      grep -q "^$ready" "$work/server.out" && return 0
      kill -0 "$server" 2>/dev/null || break
      sleep 0.1
    done
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    server=""
    ((SECONDS < end)) || { echo "the definitions port $port stays busy"; exit 1; }
    sleep 1
  done
}

start_server() {  # WIRE-FILE
  hold_port port python3 "$root/scripts/definitions-server.py" --port "$port" --path "$path" --file "$1"
}

# Holds the port without listening, so every connection to it is refused.
refuse_port() {
  hold_port bound python3 -c "
import socket, time
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)  # past connections may linger
s.bind(('127.0.0.1', $port))
print('bound', flush=True)
time.sleep(600)"
}

stop_server() {
  [ -n "$server" ] && { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
  server=""
}

# Serves the definitions with the server's ARGUMENTS and checks that start-up ends with
# the bad-definitions report whose detail holds DETAIL, before monitoring starts.
refused() {  # WHAT DETAIL server-arguments...
  local what=$1 detail=$2 title
  shift 2
  title=$(plain MessageTitle)
  hold_port port python3 "$root/scripts/definitions-server.py" --port "$port" --path "$path" "$@"
  start_program
  local text
  text=$(drv wait-message "$title" 30000 || true)
  check "${text%%$'\n'*}" "$(plain StartupDefinitionsError)" "$what: the report names the bad definitions"
  local names=no
  [[ $text == *"$detail"* ]] && names=yes
  check "$names" "yes" "$what: its detail reads \"$detail\" (${text##*$'\n'})"
  check "$(drv text $LABEL7)" "현재상태 : " "$what: start-up stopped before the monitoring status"
  drv dismiss-message "$title" || true
  wait_program_end 15 && check ended ended "$what: the program ends after the report" ||
    check running ended "$what: the program ends after the report"
  stop_server
}

start_program() {
  # The listings come from the stand-ins of the scenario (Wine names no owners), so the
  # program takes them from the console commands unless a scenario chooses otherwise.
  ZC_LISTING_ROUTE=${ZC_LISTING_ROUTE:-console} wine "$program" >"$work/program.log" 2>&1 </dev/null &
  program_pid=$!
}

program_running() { [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; }

wait_program_end() {  # SECONDS
  local end=$((SECONDS + $1))
  while program_running && ((SECONDS < end)); do sleep 0.2; done
  if program_running; then return 1; fi
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
}

# Start-up has run through when the status shows monitoring on.
wait_ready() {
  drv wait-window 30000 || { echo "FAIL: the main window did not appear"; exit 1; }
  local status
  status=$(wait_for 30 "$(plain StatusMonitoringOn)" drv text "$LABEL7")
  check "$status" "$(plain StatusMonitoringOn)" "start-up ran through to the monitoring status"
}

stop_program() {
  if program_running; then
    drv close >/dev/null 2>&1 || true
    wait_program_end 10 || { kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; }
  fi
  program_pid=""
}

reset_state() {
  drv close-explorers >/dev/null || true  # a file-explorer window left over would cover the tray
  drv set-run-value "$(plain LogonValueName)" - >/dev/null || true
  drv set-run-value ZcTestAutorun - >/dev/null || true
  drv set-run-value ZcTestAutorun2 - >/dev/null || true
  drv set-setting - >/dev/null || true
}

finish() {  # [STATUS]: the script's exit status when a trap ran other steps first
  local status=${1:-$?}
  # A scenario cut short by a failing command says which driver call failed and what the
  # program printed, before its work folder goes.
  if ((status != 0)); then
    echo "the scenario ended early (exit status $status)"
    echo "--- driver errors"; tail -20 "$work/driver.err" 2>/dev/null || true
    echo "--- program output"; tail -40 "$work/program.log" 2>/dev/null || true
  fi
  stop_program
  drv close-explorers >/dev/null 2>&1 || true
  [ -n "$server" ] && { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
  reset_state
  [ -n "${ZC_XVFB_PID:-}" ] && kill "$ZC_XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

conclude() {
  if ((failures)); then
    echo "$failures check(s) failed"
    echo "--- program output"; cat "$work/program.log" 2>/dev/null || true
    exit 1
  fi
  echo "all checks passed"
}

reset_state
