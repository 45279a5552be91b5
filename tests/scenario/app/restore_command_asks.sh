#!/usr/bin/env bash
# The command line's restore of a genuine record shows what it will do before it does
# anything: an autorun value and the program it starts, made by this scenario, are
# treated from the window; then `/restore FOLDER` lists the file to put back (and where)
# and the value with its data in a Yes/No box. Answered no, nothing comes back, a
# message says so and the exit code is 1; answered yes, the file is back byte for byte,
# the value with its data, and the exit code is 0.
source "$(dirname "$0")/scenario-lib.sh"

helpers=$(dirname "$driver")
drive_c="$WINEPREFIX/drive_c"
folder_name=zcrestoreasks
folder="$drive_c/$folder_name"
win_folder="C:\\$folder_name"
image=zcraautorun.exe                  # the file the autorun value starts
autorun=ZcTestAutorun                  # a name of the sample definitions
backup_root_name=$(plain BackupRoot)
backup_root="$drive_c/${backup_root_name#C:\\}"
backup="$backup_root/$image"
win_backup="$backup_root_name\\$image"
title=$(plain MessageTitle)
probe="$helpers/zc_attribute_probe.exe"

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
placeholder() { timeout 60 wine "$probe" "$win_folder\\$image" 2>/dev/null | tr -d '\r' | sed -E 's/^1[67]$/placeholder/'; }

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
stop_program
check "$(placeholder)" "placeholder" "a hidden system folder stands at the file's path"
check "$(drv run-values | grep -c "^$autorun=" || true)" "0" "the autorun value is deleted"

# --- /restore answered no, then yes -------------------------------------------------------------
file_step="$(plain RestoreItemFile)$win_backup\\$image$(plain RestoreItemArrow)$win_folder\\$image"
# The value goes back into the hive it came from: the record names its owner's SID.
value_lead="$(plain RestoreItemValue)HKEY_USERS\\S-1-5-21-"
value_tail="\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\$autorun$(plain RestoreItemData)$win_folder\\$image"
value_step="$value_lead…$value_tail"
# The line of the list that names the value in its owner's hive, written as value_step.
value_line() {
  local line
  while IFS= read -r line; do
    if [[ $line == "$value_lead"* && $line == *"$value_tail" ]]; then echo "$value_step"; return; fi
  done
  echo missing
}
for answer in no yes; do
  timeout 90 wine "$program" /restore "$win_backup" </dev/null >/dev/null 2>&1 &
  restore_pid=$!
  question=$(drv wait-message "$title" 20000 || echo none)
  check "$(head -1 <<<"$question")" "$(plain RestoreOverviewLead)" "($answer) the restore first lists what it will do"
  check "$(grep -Fx -- "$file_step" <<<"$question" || echo missing)" "$file_step" "($answer) the file and its place"
  check "$(value_line <<<"$question")" "$value_step" "($answer) the value, its owner's hive and its data"
  drv answer-message "$title" "$answer" || check "no box" "answered" "($answer) the list is answered"
  if [ "$answer" == no ]; then
    message=$(drv wait-message "$title" 20000 || echo none)
    check "${message%%[*}" "$(plain RestoreOverviewDeclined | sed 's/ \[$/ /')" "answered no, a message says nothing was done"
    drv dismiss-message "$title" >/dev/null || true
    wait $restore_pid && code=0 || code=$?
    check "$code" "1" "and the exit code is 1"
    check "$(placeholder)" "placeholder" "the file's place still holds the placeholder"
    check "$(drv run-values | grep -c "^$autorun=" || true)" "0" "the autorun value is still gone"
  else
    wait $restore_pid && code=0 || code=$?
    check "$code" "0" "answered yes, the restore ends with 0"
    if cmp -s "$work/$image" "$folder/$image"; then same=same; else same=differs; fi
    check "$same" "same" "the file is back at its place, byte for byte"
    check "$(drv run-values | grep -Fx "$autorun_line" || true)" "$autorun_line" "the autorun value is back with its data"
  fi
done
conclude
