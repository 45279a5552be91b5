#!/usr/bin/env bash
# Undoing a treatment as a user does it: an autorun value and the program it starts,
# made by this scenario, are listed and treated from the window; then the icon's pop-up
# menu's "치료 복원..." opens the restore window, which lists the treatment; choosing it
# and pressing "복원" lists the steps it will take and, answered yes, puts the file back
# byte for byte and the value back with its data, and with monitoring on again the
# program finds the restored program once more. The command line's restore of the same
# folder then has nothing left to do (and asks nothing), and a folder without a record
# gets a message and exit code 1.
source "$(dirname "$0")/scenario-lib.sh"

helpers=$(dirname "$driver")
drive_c="$WINEPREFIX/drive_c"
folder_name=zcrestoremenu
folder="$drive_c/$folder_name"
win_folder="C:\\$folder_name"
image=zcrmautorun.exe                  # the file the autorun value starts
autorun=ZcTestAutorun                  # a name of the sample definitions
backup_root_name=$(plain BackupRoot)
backup_root="$drive_c/${backup_root_name#C:\\}"
backup="$backup_root/$image"
win_backup="$backup_root_name\\$image"
title=$(plain MessageTitle)

win() { timeout 60 wine "$@" </dev/null 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
clean_up() {
  drv set-run-value "$autorun" - >/dev/null || true
  drv close-explorers >/dev/null 2>&1 || true
  rm -rf "$folder" "${backup:?}"
  rmdir "$backup_root" 2>/dev/null || true
}
trap 'status=$?; stop_program; clean_up; finish $status' EXIT
clean_up

mkdir -p "$folder"
cp "$helpers/zc_attribute_probe.exe" "$folder/$image"
cp "$folder/$image" "$work/$image"  # the original, to compare
drv set-run-value "$autorun" "$win_folder\\$image"
autorun_line="$autorun=$win_folder\\$image"
probe="$helpers/zc_attribute_probe.exe"

start_server "$data/definitions.txt"
start_program
wait_ready

# --- treated from the window -------------------------------------------------------------
expected_row="reg Infection|$image|$win_folder\\$image"
row_text() { echo "$(drv cell 0 4)|$(drv cell 0 0)|$(drv cell 0 2)"; }
check "$(wait_for 30 "$expected_row" row_text)" "$expected_row" "the autorun value is listed"
drv click $CHECK2
check "$(wait_for 10 "$(plain StatusMonitoringOff)" drv text $LABEL7)" "$(plain StatusMonitoringOff)" \
  "monitoring switched off"
sleep 1
drv press $TREAT_BUTTON
end=$((SECONDS + 60))
while ((SECONDS < end)); do
  [ "$(drv rows)" == 0 ] && [ "$(drv text $LABEL6)" == "1건" ] && break
  sleep 0.5
done
check "$(drv text $LABEL6)" "1건" "the finding is treated"
drv close-explorers >/dev/null || true
check "$(timeout 60 wine "$probe" "$win_folder\\$image" 2>/dev/null | tr -d '\r' | sed -E 's/^1[67]$/placeholder/')" \
  "placeholder" "a hidden system folder stands at the file's path"
check "$(drv run-values | grep -c "^$autorun=" || true)" "0" "the autorun value is deleted"

# --- restored from the pop-up menu ------------------------------------------------------------
drv press $TRAY_BUTTON
sleep 1
drv tray 517
drv menu-choose 3 10000 || check "no menu" "menu" "the icon's pop-up menu opens"
drv restore-rows 10000 >/dev/null || true
check "$(wait_for 10 1 drv restore-rows 1000)" "1" "the restore window lists the one treatment"
check "$(drv restore-cell 0 0)|$(drv restore-cell 0 3)" "$image|$(plain RestoreStateOpen)" \
  "its name, not yet restored"
check "$(drv restore-cell 0 2)" "$(plain RestoreSummaryFile)1, $(plain RestoreSummaryValue)1" "what was done"
[ -n "${ZC_SCENARIO_SCREENSHOT:-}" ] && import -window root "$ZC_SCENARIO_SCREENSHOT"
drv restore-choose 0
question=$(drv wait-message "$title" 20000 || echo none)
check "$(head -1 <<<"$question")" "$(plain RestoreOverviewLead)" "the restore first lists what it will do"
file_step="$(plain RestoreItemFile)$win_backup\\$image$(plain RestoreItemArrow)$win_folder\\$image"
check "$(grep -Fx -- "$file_step" <<<"$question" || echo missing)" "$file_step" "naming the file and its place"
drv answer-message "$title" yes || check "no box" "answered" "the list is answered yes"
check "$(drv wait-message "$title" 20000 || echo none)" "$(plain RestoreAllDone)" "the restore says it is done"
drv dismiss-message "$title" >/dev/null || true
if cmp -s "$work/$image" "$folder/$image"; then same=same; else same=differs; fi
check "$same" "same" "the file is back at its place, byte for byte"
check "$(drv run-values | grep -Fx "$autorun_line" || true)" "$autorun_line" "the autorun value is back with its data"
check "$(drv restore-cell 0 3)" "$(plain RestoreStateDone)" "the list shows it restored"

# --- found again ----------------------------------------------------------------------------
drv click $CHECK2
check "$(wait_for 30 "$expected_row" row_text)" "$expected_row" "monitoring finds the restored program again"

# --- the command line -----------------------------------------------------------------------
stop_program
lines_before=$(wc -l <"$backup/$(plain LogFileName)")
timeout 60 wine "$program" /restore "$win_backup" </dev/null >/dev/null 2>&1 && code=0 || code=$?
check "$code" "0" "a second restore from the command line has nothing to do and ends with 0"
check "$(wc -l <"$backup/$(plain LogFileName)")" "$lines_before" "and writes nothing into the log"

timeout 60 wine "$program" /restore "$win_folder" </dev/null >/dev/null 2>&1 &
restore_pid=$!
message=$(drv wait-message "$title" 20000 || echo none)
check "${message%%[*}" "$(plain RestoreRecordMissing | sed 's/ \[$/ /')" "a folder without a record gets a message"
drv dismiss-message "$title" >/dev/null || true
wait $restore_pid && code=0 || code=$?
check "$code" "1" "and the exit code 1"
conclude
