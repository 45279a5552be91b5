#!/usr/bin/env bash
# Sets that are validly signed but not current: after the program has started with the
# build's set (serial 100), an older set (serial 50) and an expired one (serial 200, its
# expiry in 2001) each end start-up with the bad-definitions report naming why; the
# build's set still starts afterwards.
source "$(dirname "$0")/scenario-lib.sh"

title=$(plain MessageTitle)
stop_server() {
  [ -n "$server" ] && { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
  server=""
}

starts() {  # WHAT WIRE-FILE
  start_server "$2"
  start_program
  wait_ready
  check "$(drv text $LABEL7)" "$(plain StatusMonitoringOn)" "$1: start-up reaches monitoring"
  stop_program
  stop_server
}

refused() {  # WHAT WIRE-FILE EXPECTED-DETAIL
  start_server "$2"
  start_program
  local text
  text=$(drv wait-message "$title" 30000 || true)
  check "${text%%$'\n'*}" "$(plain StartupDefinitionsError)" "$1: the report names the bad definitions"
  local names=no
  [[ $text == *"$3"* ]] && names=yes
  check "$names" "yes" "$1: its detail reads \"$3\" (${text##*$'\n'})"
  check "$(drv text $LABEL7)" "현재상태 : " "$1: start-up stopped before the monitoring status"
  drv dismiss-message "$title" || true
  wait_program_end 15 && check ended ended "$1: the program ends after the report" ||
    check running ended "$1: the program ends after the report"
  stop_server
}

starts "the current set" "$data/definitions.txt"
refused "an older set" "$data/definitions-older.txt" "its serial number 50 is below 100"
refused "an expired set" "$data/definitions-expired.txt" "the definitions set has expired"
starts "the current set again" "$data/definitions.txt"
conclude
