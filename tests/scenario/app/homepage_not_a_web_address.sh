#!/usr/bin/env bash
# A newer published version whose homepage names a program instead of a web address:
# the notice shows and the program ends as usual, but the named program is never
# started; the address goes to the program's own error log, which for this elevated copy
# is the event log (Wine passes an error event's text to its "eventlog" debug channel),
# never a file in the program's folder.
source "$(dirname "$0")/scenario-lib.sh"

helpers=$(dirname "$driver")
folder="$WINEPREFIX/drive_c/zchomepage"  # C:\zchomepage, the homepage's folder
probe="$folder/zc_homepage_probe.exe"
clean_up() { rm -rf "$folder"; }
trap 'status=$?; stop_program; clean_up; finish $status' EXIT
clean_up
mkdir -p "$folder"
cp "$helpers/zc_homepage_probe.exe" "$probe"
cp "$program" "$folder/ZombieCure.exe"
program="$folder/ZombieCure.exe"

start_server "$data/definitions-newer-program-homepage.txt"
export WINEDEBUG=-all,err+eventlog
start_program
title=$(plain MessageTitle)
text=$(drv wait-message "$title" 30000 || true)
check "$text" "$(plain NewVersionNotice1)"$'\n'"$(plain NewVersionNotice2)" "the new-version notice"
drv dismiss-message "$title" || true
wait_program_end 15 && check ended ended "the program ends after the notice" ||
  check running ended "the program ends after the notice"
sleep 2  # a program started without waiting would have left its marker by now
check "$(ls "$folder"/*.ran 2>/dev/null | wc -l)" "0" "the program named as the homepage is not started"
check "$(ls "$folder/$(plain LogFileName)" 2>/dev/null | wc -l)" "0" "no log is written into the program's folder"
logged=no
grep -q 'zchomepage\\\\zc_homepage_probe.exe' "$work/program.log" && logged=yes
check "$logged" "yes" "the address is reported as the program's own error event"
conclude
