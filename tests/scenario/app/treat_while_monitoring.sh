#!/usr/bin/env bash
# With monitoring on, the treat button only tells the user to switch it off: the listed
# finding stays and its registry value is not touched.
source "$(dirname "$0")/scenario-lib.sh"

drv set-run-value ZcTestAutorun 'C:\zombie-scenario\autorun.exe'
start_server "$data/definitions.txt"
start_program
wait_ready
# The row of the planted value: its entry-name cell names the definitions entry.
planted_row() {
  local n i
  n=$(drv rows)
  for ((i = 0; i < n; i++)); do
    [ "$(drv cell $i 5)" == ZcTestAutorun ] && { echo "$i"; return; }
  done
  echo none
}
row=none
for _ in $(seq 1 40); do
  row=$(planted_row)
  [ "$row" != none ] && break
  sleep 0.5
done
check "$([ "$row" != none ] && echo listed)" "listed" "the planted autorun value is listed"
[ "$row" != none ] && check "$(drv cell "$row" 4)" "reg Infection" "as a registry infection"
rows_before=$(drv rows)

title=$(plain MessageTitle)
drv press $TREAT_BUTTON
check "$(drv wait-message "$title" 15000 || true)" "$(plain TreatWhileMonitoring)" "the treat button's message"
drv dismiss-message "$title" || true
sleep 1
check "$(drv rows)" "$rows_before" "every finding is still listed"
check "$(drv run-values | grep -c '^ZcTestAutorun=' || true)" "1" "the planted registry value is untouched"
check "$(drv text $LABEL6)" "0건" "nothing counted as treated"
conclude
