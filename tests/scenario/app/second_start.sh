#!/usr/bin/env bash
# One copy per user and session: a second start while the program runs, hidden in the
# notification area, ends by itself and brings the running window back to the front; the
# first copy goes on monitoring.
source "$(dirname "$0")/scenario-lib.sh"

hidden="visible=0 enabled=1 layered=0 alpha=0"
shown="visible=1 enabled=1 layered=0 alpha=0"

start_server "$data/definitions.txt"
start_program
wait_ready

drv press $TRAY_BUTTON
check "$(wait_for 10 "$hidden" drv state)" "$hidden" "the tray button hides the window"

second=ended
ZC_LISTING_ROUTE=console timeout 60 wine "$program" >"$work/second.log" 2>&1 </dev/null || second="status $?"
check "$second" "ended" "the second start ends by itself"
check "$(wait_for 10 "$shown" drv state)" "$shown" "the running window is shown again"
check "$(program_running && echo running)" "running" "the first copy runs on"
check "$(drv text $LABEL7)" "$(plain StatusMonitoringOn)" "and monitors as before"
conclude
