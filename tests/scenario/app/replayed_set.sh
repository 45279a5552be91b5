#!/usr/bin/env bash
# Sets that are validly signed but not current: after the program has started with the
# build's set (serial 100), an older set (serial 50) and an expired one (serial 200, its
# expiry in 2001) each end start-up with the bad-definitions report naming why; the
# build's set still starts afterwards.
source "$(dirname "$0")/scenario-lib.sh"

starts() {  # WHAT WIRE-FILE
  start_server "$2"
  start_program
  wait_ready
  check "$(drv text $LABEL7)" "$(plain StatusMonitoringOn)" "$1: start-up reaches monitoring"
  stop_program
  stop_server
}

starts "the current set" "$data/definitions.txt"
refused "an older set" "its serial number 50 is below 100" --file "$data/definitions-older.txt"
refused "an expired set" "the definitions set has expired" --file "$data/definitions-expired.txt"
starts "the current set again" "$data/definitions.txt"
conclude
