#!/usr/bin/env bash
# A treatment that cannot finish, as a user meets it: the file an autorun value starts is
# held open by another program that lets others only read it. The treatment backs the
# file up but cannot delete or move it: the row stays with the reason in its last cell,
# the count stays at 0, the status line says the treatment is incomplete, a message says
# a restart is needed, the file is still a file (no placeholder) and its log claims
# nothing that did not happen. Once the holder has let go, a second treatment finishes.
source "$(dirname "$0")/scenario-lib.sh"

drive_c="$WINEPREFIX/drive_c"
folder_name=zcincomplete
folder="$drive_c/$folder_name"
win_folder="C:\\$folder_name"
image=zcheld.exe
autorun=ZcTestAutorun  # a registry entry of the sample definitions
backup_root_name=$(plain BackupRoot)
backup_root="$drive_c/${backup_root_name#C:\\}"
log_name=$(plain LogFileName)
holder=""

clean_up() {
  [ -n "$holder" ] && { kill "$holder" 2>/dev/null || true; wait "$holder" 2>/dev/null || true; }
  holder=""
  drv set-run-value "$autorun" - >/dev/null || true
  drv close-explorers >/dev/null 2>&1 || true
  rm -rf "$folder" "${backup_root:?}/$image" "${backup_root:?}/$image"_*
  rmdir "$backup_root" 2>/dev/null || true
}
trap 'status=$?; stop_program; clean_up; finish $status' EXIT
clean_up

mkdir -p "$folder"
cp "$(dirname "$driver")/zc_attribute_probe.exe" "$folder/$image"
cp "$folder/$image" "$work/$image"
drv set-run-value "$autorun" "\"$win_folder\\$image\" /background"
timeout 300 wine "$driver" hold-file "$win_folder\\$image" 240 >"$work/holder.out" 2>/dev/null </dev/null &
holder=$!
for _ in $(seq 1 100); do grep -q held "$work/holder.out" 2>/dev/null && break; sleep 0.1; done
check "$(grep -c held "$work/holder.out" || true)" "1" "another program holds the file, sharing it for reading only"

start_server "$data/definitions.txt"
start_program
wait_ready
for _ in $(seq 1 60); do [ "$(drv rows)" -ge 1 ] && break; sleep 0.5; done
check "$(drv rows)" "1" "the autorun value is listed"
check "$(drv cell 0 2)" "\"$win_folder\\$image\" /background" "its Path cell shows the value as found"
# The row's name is the value's last piece, arguments and quote included; the file the
# value starts is backed up and logged under its own name.
check "$(drv cell 0 0)" "$image\" /background" "its Name cell is the value's last piece"
name=$image
backup_name=$image

drv click $CHECK2
wait_for 10 "$(plain StatusMonitoringOff)" drv text $LABEL7 >/dev/null
sleep 1
title=$(plain MessageTitle)
treat() {  # DONE-CONDITION...: presses the treat button, dismisses its messages, waits for DONE
  drv press $TREAT_BUTTON
  local end=$((SECONDS + 90)) text
  while ((SECONDS < end)); do
    text=$(drv wait-message "$title" 300 2>/dev/null || true)
    if [ -n "$text" ]; then
      echo "$text" >>"$work/messages.txt"
      drv dismiss-message "$title" >/dev/null 2>&1 || true
    fi
    "$@" && break
  done
}
incomplete() { [ "$(drv text $LABEL7)" == "$(plain IncompleteStatus)" ] && grep -q . "$work/messages.txt" 2>/dev/null; }
finished() { [ "$(drv rows)" == 0 ] && [ "$(drv text $LABEL6)" == "1건" ]; }
treat incomplete
check "$(drv rows)" "1" "the row stays: its treatment is incomplete"
reason="$(plain StepDeleteFile): $(plain ReasonInUse) (32)"
check "$(drv cell 0 6)" "1 $reason" "its last cell says why"
check "$(drv text $LABEL6)" "0건" "nothing is counted as treated"
check "$(drv text $LABEL7)" "$(plain IncompleteStatus)" "the status line says the treatment is incomplete"
check "$(grep -c "$(plain RestartNotice | cut -c1-20)" "$work/messages.txt" || true)" "1" "a message says a restart is needed"
check "$([ -f "$folder/$image" ] && echo file)" "file" "the file is still a file: no placeholder where it is"
check "$(cmp -s "$work/$image" "$backup_root/$backup_name/$backup_name" && echo same)" "same" "its backup copy is whole"
log_lines() { iconv -f CP949 -t UTF-8 "$backup_root/$backup_name/$log_name" | sed -E 's/^\[[^]]+\] //' | tr -d '\r'; }
check "$(log_lines | head -n 4)" "$(printf '%s\n' "$name$(plain LogIncompleteText)" \
  "$name$(plain LogPathText)$win_folder\\$image$(plain LogLineEnd)" "$reason" \
  "$(plain LogRestartText)$win_folder\\$image$(plain LogLineEnd)")" "the log names the failed step and claims no backup and placeholder"
check "$(log_lines | grep -c "$(plain LogClosingFirst)" || true)" "0" "no line says the file was replaced"
drv close-explorers >/dev/null 2>&1 || true
sleep 1
mkdir -p "$root/build/screenshots"
import -window root "$root/build/screenshots/incomplete-treatment.png" 2>/dev/null || true

kill "$holder" 2>/dev/null || true
wait "$holder" 2>/dev/null || true
holder=""
: >"$work/messages.txt"
treat finished
check "$(drv rows)" "0" "once the file is free, a second treatment takes the row off"
check "$(drv text $LABEL6)" "1건" "and counts it"
attributes=$(timeout 60 wine "$(dirname "$driver")/zc_attribute_probe.exe" "$win_folder\\$image" 2>/dev/null | tr -d '\r' || true)
case $attributes in 16 | 17 | 22 | 23) placeholder=yes ;; *) placeholder="attributes $attributes" ;; esac
check "$placeholder" "yes" "a hidden system folder now stands at the file's path"
check "$(drv run-values | grep -c "^$autorun=" || true)" "0" "the autorun value is deleted"
conclude
