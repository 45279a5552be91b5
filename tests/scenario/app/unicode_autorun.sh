#!/usr/bin/env bash
# Autorun values as a real infection leaves them, through the whole program: one starts a
# file whose folder and name hold characters no Korean code page has (Thai, an emoji),
# quoted with arguments, at a path past 260 characters; the other is unquoted with
# arguments in a folder whose name has a blank. The rows show the values as found; the
# treatment backs each file up under its own name, leaves its placeholder where the file
# was and nowhere else, deletes the values and logs every name so it can be read back.
source "$(dirname "$0")/scenario-lib.sh"

drive_c="$WINEPREFIX/drive_c"
folder_name=zcunicode
folder="$drive_c/$folder_name"
win_folder="C:\\$folder_name"
foreign="ไวรัส😀"
long="$(printf 'x%.0s' {1..90})/$(printf 'y%.0s' {1..90})/$(printf 'z%.0s' {1..60})"
deep="$folder/$foreign/$long"
win_deep="$win_folder\\$foreign\\${long//\//\\}"
first_image="악성😀.exe"
second_image=plain.exe
first_value="\"$win_deep\\$first_image\" /background"
second_value="$win_folder\\a b\\$second_image -s"
backup_root_name=$(plain BackupRoot)
backup_root="$drive_c/${backup_root_name#C:\\}"
log_name=$(plain LogFileName)

clean_up() {
  drv set-run-value ZcTestAutorun - >/dev/null || true
  drv set-run-value ZcTestAutorun2 - >/dev/null || true
  drv close-explorers >/dev/null 2>&1 || true
  rm -rf "$folder" "${backup_root:?}/$first_image" "${backup_root:?}/$second_image"
  rmdir "$backup_root" 2>/dev/null || true
}
trap 'status=$?; stop_program; clean_up; finish $status' EXIT
clean_up

mkdir -p "$deep" "$folder/a b"
cp "$(dirname "$driver")/zc_attribute_probe.exe" "$deep/$first_image"
cp "$(dirname "$driver")/zc_attribute_probe.exe" "$folder/a b/$second_image"
cp "$deep/$first_image" "$work/original.exe"
check "$([ ${#win_deep} -gt 260 ] && echo long)" "long" "the first file's path is past 260 characters"
drv set-run-value ZcTestAutorun "$first_value"
drv set-run-value ZcTestAutorun2 "$second_value"

start_server "$data/definitions.txt"
start_program
wait_ready
for _ in $(seq 1 60); do [ "$(drv rows)" -ge 2 ] && break; sleep 0.5; done
check "$(drv rows)" "2" "both autorun values are listed"
check "$(drv cell 0 2)" "$first_value" "the first row's Path cell is the value as found, whole"
check "$(drv cell 0 0)" "$first_image\" /background" "its Name cell is the value's last piece"
check "$(drv cell 1 2)" "$second_value" "the second row's Path cell is the unquoted value"
mkdir -p "$root/build/screenshots"
import -window root "$root/build/screenshots/unicode-autorun.png" 2>/dev/null || true

drv click $CHECK2
wait_for 10 "$(plain StatusMonitoringOff)" drv text $LABEL7 >/dev/null
sleep 1
title=$(plain MessageTitle)
drv press $TREAT_BUTTON
end=$((SECONDS + 90))
while ((SECONDS < end)); do
  drv dismiss-message "$title" >/dev/null 2>&1 || true
  [ "$(drv rows)" == 0 ] && [ "$(drv text $LABEL6)" == "2건" ] && break
  sleep 0.5
done
check "$(drv rows)|$(drv text $LABEL6)" "0|2건" "both are treated and counted"

for image in "$first_image" "$second_image"; do
  check "$(cmp -s "$work/original.exe" "$backup_root/$image/$image" && echo same)" "same" \
    "$image is backed up whole under its own name"
done
check "$([ -d "$deep/$first_image" ] && echo folder)" "folder" "a placeholder stands at the long path"
attributes=$(timeout 60 wine "$(dirname "$driver")/zc_attribute_probe.exe" "$win_folder\\a b\\$second_image" \
  2>/dev/null | tr -d '\r' || true)
case $attributes in 16 | 17 | 22 | 23) placeholder=yes ;; *) placeholder="attributes $attributes" ;; esac
check "$placeholder" "yes" "a hidden system folder stands where the unquoted value's file was"
check "$(ls "$folder/a b")" "$second_image" "nothing was made at the unquoted value's own text"
check "$(ls "$deep")" "$first_image" "nor beside the long one"
check "$(drv run-values | grep -c '^ZcTestAutorun2\?=' || true)" "0" "both values are deleted"

# The log is ANSI text; what code page 949 lacks is written as character references,
# so the names read back exactly.
log_lines() {
  iconv -f CP949 -t UTF-8 "$backup_root/$1/$log_name" | tr -d '\r' | sed -E 's/^\[[^]]+\] //' |
    python3 -c 'import re,sys; sys.stdout.write(re.sub(r"&#x([0-9A-Fa-f]{1,6});", lambda m: chr(int(m.group(1), 16)), sys.stdin.read()))'
}
check "$(log_lines "$first_image" | head -n 2)" "$(printf '%s\n' "$first_image$(plain LogTreatedText)" \
  "$first_image$(plain LogPathText)$win_deep\\$first_image$(plain LogLineEnd)")" "the first log names the file and its path exactly"
check "$(grep -c '&#x1F600;' "$backup_root/$first_image/$log_name" || true)" "2" "as character references in the ANSI file"
check "$(log_lines "$second_image" | head -n 2)" "$(printf '%s\n' "$second_image$(plain LogTreatedText)" \
  "$second_image$(plain LogPathText)$win_folder\\a b\\$second_image$(plain LogLineEnd)")" "the second log names the file the value started"
conclude
