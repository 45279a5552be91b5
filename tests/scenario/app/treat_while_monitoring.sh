#!/usr/bin/env bash
# With monitoring on, the treat button only tells the user to switch it off: the listed
# finding stays and its registry value is not touched.
source "$(dirname "$0")/scenario-lib.sh"

drv set-run-value ZcTestAutorun 'C:\zombie-scenario\autorun.exe'
start_server "$data/definitions.txt"
start_program
wait_ready
check "$(wait_for 20 1 drv rows)" "1" "the planted autorun value is listed"
check "$(drv cell 0 4)" "reg Infection" "as a registry infection"

title=$(plain MessageTitle)
drv press $TREAT_BUTTON
check "$(drv wait-message "$title" 15000 || true)" "$(plain TreatWhileMonitoring)" "the treat button's message"
drv dismiss-message "$title" || true
sleep 1
check "$(drv rows)" "1" "the finding is still listed"
check "$(drv run-values | grep -c '^ZcTestAutorun=' || true)" "1" "its registry value is untouched"
check "$(drv text $LABEL6)" "0건" "nothing counted as treated"
conclude
