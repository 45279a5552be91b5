#!/usr/bin/env bash
# Detection and treatment from the window, as a user meets them: a running process with
# a matching outbound connection, a service entry and an autorun value, all made by this
# scenario inside the test prefix, are listed while monitoring is on; with monitoring off
# the treat button treats all three. Then every effect is checked: the process is
# gone, each file has its backup copy and a hidden system placeholder folder at its
# path, each backup folder holds its log in code page 949, the autorun value and the
# service are deleted.
#
# Under Wine, netstat prints no owning process ids and tasklist /svc prints nothing, so
# for this run a stand-in takes the place of both in the test prefix's system32, where
# the program starts them from, and prints listings in the real tools' formats.
source "$(dirname "$0")/scenario-lib.sh"
source "$root/scripts/system-tools.sh"

helpers=$(dirname "$driver")
drive_c="$WINEPREFIX/drive_c"
folder_name=zcdetecttreat
folder="$drive_c/$folder_name"        # the scenario's files, C:\zcdetecttreat
win_folder="C:\\$folder_name"
victim=zcdtvictim.exe                 # a running process with a matching connection
service_image=zcdtservice.exe         # the image of the service entry
autorun_image=zcdtautorun.exe         # the file the autorun value starts
service=ZcTestSvc                     # names and port of the sample definitions
autorun=ZcTestAutorun
tunnel_port=48123
names=("$victim" "$service_image" "$autorun_image")
backup_root_name=$(plain BackupRoot)
backup_root="$drive_c/${backup_root_name#C:\\}"
log_name=$(plain LogFileName)
victim_pid=""                         # the victim's process on this machine

win() { timeout 60 wine "$@" </dev/null 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
service_exists() { win reg query "HKLM\\SYSTEM\\CurrentControlSet\\Services\\$service" >/dev/null; }
victim_running() { [ -n "$victim_pid" ] && kill -0 "$victim_pid" 2>/dev/null; }

# Everything this scenario makes, removed: before the run, so that a run broken off
# earlier leaves nothing behind, and after it.
clean_up() {
  if victim_running; then kill "$victim_pid" 2>/dev/null || true; fi
  [ -n "$victim_pid" ] && { wait "$victim_pid" 2>/dev/null || true; }
  victim_pid=""
  win taskkill /f /im "$victim" >/dev/null || true
  win sc delete "$service" >/dev/null || true
  drv set-run-value "$autorun" - >/dev/null || true
  drv close-explorers >/dev/null 2>&1 || true
  rm -rf "$folder"
  for name in "${names[@]}"; do rm -rf "${backup_root:?}/$name"; done
  rmdir "$backup_root" 2>/dev/null || true  # only when nothing else is kept there
  restore_system_tools
}
trap 'status=$?; stop_program; clean_up; finish $status' EXIT
clean_up

# --- the machine as the checker prepares it --------------------------------------------
mkdir -p "$folder"
cp "$helpers/zc_scenario_victim.exe" "$folder/$victim"
cp "$helpers/zc_listing_stand_in.exe" "$folder/$service_image"
cp "$helpers/zc_attribute_probe.exe" "$folder/$autorun_image"
for name in "${names[@]}"; do cp "$folder/$name" "$work/$name"; done  # the originals, to compare
cp "$program" "$folder/ZombieCure.exe"
substitute_system_tool netstat.exe "$helpers/zc_listing_stand_in.exe"
substitute_system_tool tasklist.exe "$helpers/zc_listing_stand_in.exe"
probe="$helpers/zc_attribute_probe.exe"

wine "$win_folder\\$victim" "$win_folder\\victim.pid" >/dev/null 2>&1 </dev/null &
victim_pid=$!
for _ in $(seq 1 100); do [ -s "$folder/victim.pid" ] && break; sleep 0.1; done
id=$(cat "$folder/victim.pid" 2>/dev/null || true)
[[ $id =~ ^[0-9]+$ ]] || { echo "FAIL: the victim process did not start"; exit 1; }

# The victim's connection to the tunnel port, among another of no interest, with its
# process id right-aligned at the line's end, and its line in the service listing.
printf '%s\r\n' "" "Active Connections" "" \
  "  Proto  Local Address          Foreign Address        State           PID" \
  "  TCP    10.0.0.5:49701         203.0.113.9:443        ESTABLISHED     $(printf '%5s' 4)" \
  "  TCP    10.0.0.5:49702         127.0.0.1:$tunnel_port        ESTABLISHED     $(printf '%5s' "$id")" \
  >"$system32/netstat.txt"
printf '%s\r\n' "" "Image Name                     PID Services" \
  "========================= ======== ============================================" \
  "$(printf '%-25s %8s N/A' "$victim" "$id")" >"$system32/tasklist.txt"

win sc create "$service" binPath= "$win_folder\\$service_image" >/dev/null || true
service_exists || { echo "FAIL: the service entry could not be made"; exit 1; }
drv set-run-value "$autorun" "$win_folder\\$autorun_image"

# --- detection -------------------------------------------------------------------------
program="$folder/ZombieCure.exe"
start_server "$data/definitions.txt"
start_program
wait_ready

# "KIND|NAME|ID|PATH|DETAIL|ENTRY|FLAG" per row, sorted, so the order of the checks does
# not matter.
rows_text() {
  local n i c line
  n=$(drv rows)
  for ((i = 0; i < n; i++)); do
    line=$(drv cell $i 4)
    for c in 0 1 2 3 5 6; do line+="|$(drv cell $i $c)"; done
    echo "$line"
  done | sort
}
expected_rows=$(printf '%s\n' \
  "outPut Tun|$victim|$id|$win_folder\\$victim|N/A||" \
  "reg Infection|$autorun_image|None|$win_folder\\$autorun_image|N/A|$autorun|1" \
  "service Hide|$service_image|None|$win_folder\\$service_image|$service||" | sort)
for _ in $(seq 1 60); do
  [ "$(drv rows)" -ge 3 ] && break
  sleep 0.5
done
check "$(rows_text)" "$expected_rows" "the process, the service and the autorun value are listed"
sleep 3  # a few more monitoring cycles list nothing twice
check "$(drv rows)" "3" "listed once each"
[ -n "${ZC_SCENARIO_SCREENSHOT:-}" ] && import -window root "$ZC_SCENARIO_SCREENSHOT"

# --- treatment from the window ---------------------------------------------------------
drv click $CHECK2
check "$(wait_for 10 "$(plain StatusMonitoringOff)" drv text $LABEL7)" "$(plain StatusMonitoringOff)" \
  "monitoring switched off"
sleep 1  # a check that was running when monitoring went off has ended
check "$(drv rows)" "3" "still three findings before the treatment"
title=$(plain MessageTitle)
drv press $TREAT_BUTTON
end=$((SECONDS + 120))
while ((SECONDS < end)); do
  drv dismiss-message "$title" >/dev/null 2>&1 || true
  [ "$(drv rows)" == 0 ] && [ "$(drv text $LABEL6)" == "3건" ] && break
  sleep 0.5
done
check "$(drv rows)" "0" "every finding is taken off the list"
check "$(drv text $LABEL6)" "3건" "three counted as treated"
check "$(program_running && echo running)" "running" "the program goes on after the treatment"
# Each treated finding opened its backup folder in a file-explorer window (titled with
# the folder's name), which stays until closed.
for name in "${names[@]}"; do
  opened=no
  for _ in $(seq 1 30); do
    xdotool search --name "^$name\$" >/dev/null 2>&1 && { opened=yes; break; }
    sleep 0.5
  done
  check "$opened" "yes" "$name: its backup folder is opened in a file-explorer window"
done
drv close-explorers >/dev/null || true

# --- the effects -----------------------------------------------------------------------
for _ in $(seq 1 50); do victim_running || break; sleep 0.2; done
check "$(victim_running && echo running || echo gone)" "gone" "the victim process is ended"

log_lines() {  # NAME: the log's lines in UTF-8 without their time stamps
  iconv -f CP949 -t UTF-8 "$backup_root/$1/$log_name" | sed -E 's/^\[[^]]+\] //' | tr -d '\r'
}
for name in "${names[@]}"; do
  if cmp -s "$work/$name" "$backup_root/$name/$name"; then copy=same; else copy=differs; fi
  check "$copy" "same" "$name: the backup copy is the original file"
  attributes=$(timeout 60 wine "$probe" "$win_folder\\$name" 2>/dev/null | tr -d '\r' || true)
  case $attributes in 16 | 17) placeholder=yes ;; *) placeholder="attributes $attributes" ;; esac
  check "$placeholder" "yes" "$name: a hidden system folder stands at the file's path"
  log="$backup_root/$name/$log_name"
  check "$(iconv -f CP949 -t UTF-8 "$log" >/dev/null 2>&1 && echo cp949)" "cp949" "$name: the log reads in code page 949"
  check "$(tr -cd '\n' <"$log" | wc -c) $(grep -c $'\r$' "$log" || true)" "4 4" "$name: four lines, each ended by CR LF"
  check "$(grep -cE '^\[[^]]+\] ' "$log" || true)" "4" "$name: each line stamped with date and time"
  check "$(log_lines "$name" || true)" "$(printf '%s\n' "$name$(plain LogTreatedText)" \
    "$name$(plain LogPathText)$win_folder\\$name$(plain LogLineEnd)" \
    "$(plain LogClosingFirst)" "$(plain LogClosingSecond)")" "$name: the log's lines"
done

check "$(drv run-values | grep -c "^$autorun=" || true)" "0" "the autorun value is deleted"
# The service is deleted by a command that runs on its own: give it a moment.
for _ in $(seq 1 20); do service_exists || break; sleep 0.5; done
check "$(service_exists && echo present || echo removed)" "removed" "the service entry is removed"
conclude
