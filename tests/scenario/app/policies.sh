#!/usr/bin/env bash
# The machine's policies under HKLM\SOFTWARE\Policies\ZombieCure (64-bit view), written
# with reg.exe before each start:
#   - StartAtLogonForAllUsers = 1: the box shows on and is disabled, the stored option
#     and the per-user log-on value are not written, and a per-user value beside the
#     machine-wide one is removed;
#   - NeverOpenHomepage = 1 with a newer version: the notice asks for the administrator
#     and the program ends;
#   - DefinitionsAddress: the set comes from a mirror on another port while nothing
#     answers at the built-in address; an ftp:// address is ignored with a log line.
# (Wine runs everything as one administrator: who may write the key is not shown here.)
source "$(dirname "$0")/scenario-lib.sh"

policy_key='HKLM\SOFTWARE\Policies\ZombieCure'
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
name=$(plain LogonValueName)
folder="$WINEPREFIX/drive_c/zcpolicies"  # C:\zcpolicies: the program's log is read there
mirror=""
set_policy() { wine reg add "$policy_key" /v "$1" /t "$2" /d "$3" /f /reg:64 >/dev/null 2>&1; }
clear_policies() {
  wine reg delete "$policy_key" /f /reg:64 >/dev/null 2>&1 || true
  wine reg delete "$machine_run" /v "$name" /f /reg:64 >/dev/null 2>&1 || true
}
clean_up() {
  [ -n "$mirror" ] && { kill "$mirror" 2>/dev/null || true; wait "$mirror" 2>/dev/null || true; }
  clear_policies
  rm -rf "$folder"
}
trap 'status=$?; stop_program; clean_up; finish $status' EXIT
clean_up
mkdir -p "$folder"
cp "$program" "$folder/ZombieCure.exe"
program="$folder/ZombieCure.exe"
log="$folder/$(plain LogFileName)"
log_lines() { iconv -f CP949 -t UTF-8 "$log" 2>/dev/null | tr -d '\r' | sed -E 's/^\[[^]]+\] //' || true; }
entries() { drv run-values | grep "^$name=" || true; }

# --- start at log-on for every user -------------------------------------------------------
set_policy StartAtLogonForAllUsers REG_DWORD 1
drv set-setting off
drv set-run-value "$name" 'C:\Users\someone\ZombieCure.exe'
start_server "$data/definitions.txt"
start_program
wait_ready
check "$(drv checked $CHECK1)" "1" "the policy shows the log-on box checked"
check "$(drv enabled $CHECK1)" "0" "and disabled"
check "$(drv setting)" "off" "the user's stored option is left as it was"
check "$(entries)" "$name=C:\\Users\\someone\\ZombieCure.exe" \
  "without the machine-wide value the user's own value stays"
stop_program

wine reg add "$machine_run" /v "$name" /t REG_SZ /d '"C:\Program Files\ZombieCure\ZombieCure.exe"' /f /reg:64 \
  >/dev/null 2>&1
start_program
wait_ready
check "$(entries)" "" "beside the machine-wide value the user's own value is removed"
check "$(drv setting)" "off" "and the stored option is still left alone"
stop_program
clear_policies

# --- the definitions address ------------------------------------------------------------
set_policy DefinitionsAddress REG_SZ 'ftp://mirror.example/defs.txt'
# The program's own error log of an elevated copy (every copy under Wine) is the event
# log, whose error events Wine passes to its "eventlog" debug channel.
saved_debug=${WINEDEBUG-}
export WINEDEBUG=-all,err+eventlog
start_program
wait_ready
check "$(grep -c 'DefinitionsAddress' "$work/program.log" || true)" "1" \
  "an ftp address is ignored with one line in the program's own log"
check "$(log_lines | grep -c "DefinitionsAddress: " || true)" "0" "and nothing is written beside the program"
stop_program
export WINEDEBUG=$saved_debug
stop_server

mirror_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
python3 "$root/scripts/definitions-server.py" --port "$mirror_port" --path /mirror/defs.txt \
  --file "$data/definitions.txt" >"$work/mirror.out" 2>&1 &
mirror=$!
for _ in $(seq 1 50); do grep -q '^port ' "$work/mirror.out" && break; sleep 0.1; done
refuse_port  # the built-in address answers nothing
set_policy DefinitionsAddress REG_SZ "http://127.0.0.1:$mirror_port/mirror/defs.txt"
start_program
wait_ready
check "$(drv text $LABEL7)" "$(plain StatusMonitoringOn)" "the set came from the policy's mirror"
stop_program
stop_server
clear_policies

# --- never open the homepage ------------------------------------------------------------
set_policy NeverOpenHomepage REG_DWORD 1
start_server "$data/definitions-newer.txt"
start_program
title=$(plain MessageTitle)
text=$(drv wait-message "$title" 30000 || true)
check "$text" "$(plain NewVersionNotice1)"$'\n'"$(plain NewVersionNoticeAskAdministrator)" \
  "the new-version notice asks for the administrator"
drv dismiss-message "$title" || true
wait_program_end 15 && check ended ended "the program ends after the notice" ||
  check running ended "the program ends after the notice"
conclude
