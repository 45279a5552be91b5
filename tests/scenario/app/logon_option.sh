#!/usr/bin/env bash
# The start-at-log-on option: check, uncheck, check leaves one log-on value with the
# program's path and the stored "on"; a stored "On" reads as off and writes nothing; a
# stored "on" repairs an entry that names an old path.
source "$(dirname "$0")/scenario-lib.sh"

name=$(plain LogonValueName)
exe=$(winepath -w "$program" 2>/dev/null | tr -d '\r')
entries() { drv run-values | grep "^$name=" || true; }

start_server "$data/definitions.txt"
start_program
wait_ready

drv click $CHECK1
check "$(wait_for 10 on drv setting)" "on" "checking stores on"
check "$(entries)" "$name=$exe" "one log-on value with the program's path"
drv click $CHECK1
check "$(wait_for 10 off drv setting)" "off" "unchecking stores off"
check "$(entries)" "" "the log-on value is gone"
drv click $CHECK1
check "$(wait_for 10 on drv setting)" "on" "checking again stores on"
check "$(entries)" "$name=$exe" "still exactly one log-on value"
stop_program

# "On" is not "on".
drv set-setting On
drv set-run-value "$name" -
start_program
wait_ready
check "$(drv checked $CHECK1)" "0" "a stored On reads as off"
check "$(entries)" "" "and writes no log-on value"
check "$(drv setting)" "On" "and leaves the stored text alone"
stop_program

# A stored "on" rewrites the entry with the current path.
drv set-setting on
drv set-run-value "$name" 'D:\old place\ZombieCure.exe'
start_program
wait_ready
check "$(drv checked $CHECK1)" "1" "a stored on checks the box"
check "$(entries)" "$name=$exe" "and repairs the log-on value"
conclude
