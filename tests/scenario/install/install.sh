#!/usr/bin/env bash
# The installer as a user runs it: a silent install puts the program, its Start-menu
# shortcut and its installed-programs entry in place; the installed program starts and
# turns its start-at-log-on option on; a second copy runs from another folder; the silent
# uninstall (the entry's QuietUninstallString) ends the installed copy only and removes
# everything of ours but the backup folders and their logs.
#
# Arguments: PROGRAM DRIVER DATA-DIR DEFINITIONS-URL INSTALLER REGISTRY-PROBE [SIGNING-CA]
# With SIGNING-CA the installed program and uninstaller must carry valid signatures.
installer=$5
probe=$6
signing_ca=${7:-}
source "$(dirname "$0")/../app/scenario-lib.sh"

uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\ZombieCure'
settings_key="Software\\$(sed -n 's/.*kOptionApplication\[\] = u"\(.*\)";/\1/p' "$root/core/app/form1.h")"
name=$(plain LogonValueName)
product=$(plain WindowCaption)
version=$(plain VersionText)
log_file=$(plain LogFileName)

win() { timeout 60 wine cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
probe_key() { timeout 60 wine "$probe" "$1" 2>/dev/null | tr -d '\r'; }
value_of() { probe_key "$uninstall_key" | sed -n "s/^$1=//p"; }

local_app_data=$(win '%LOCALAPPDATA%')
app_data=$(win '%APPDATA%')
install_dir="$local_app_data\\Programs\\ZombieCure"
installed_exe="$install_dir\\ZombieCure.exe"
install_unix=$(unix_path "$install_dir")
shortcut=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs")/$product.lnk
backup_dir=$(unix_path 'C:\좀비치료백업')/zc-install-test
other_dir=$(unix_path 'C:\zc-other-copy')
other_pid=""

# A backup folder of an earlier treatment, with its log, that must outlive the uninstall.
leftovers() {
  if [ -n "$other_pid" ] && kill -0 "$other_pid" 2>/dev/null; then
    drv close >/dev/null 2>&1 || true
    sleep 2
    kill "$other_pid" 2>/dev/null || true
  fi
  rm -rf "$backup_dir" "$other_dir"
}
trap 'leftovers; finish' EXIT
if [ -e "$install_unix/uninstall.exe" ]; then  # an earlier run that stopped half-way
  timeout 120 wine "$install_unix/uninstall.exe" /S _?="$install_dir" >/dev/null 2>&1 || true
fi
mkdir -p "$backup_dir"
printf 'backup copy\r\n' >"$backup_dir/zombie.exe"
printf '[2026-12-10 10:00:00] zombie.exe treated\r\n' >"$backup_dir/$log_file"

# --- silent install ---------------------------------------------------------------
status=0
timeout 120 wine "$installer" /S >"$work/install.log" 2>&1 </dev/null || status=$?
check "$status" "0" "the silent install ends with exit code 0"
check "$([ -f "$install_unix/ZombieCure.exe" ] && echo yes)" "yes" "the program is in the user's program folder"
check "$(cmp -s "$install_unix/ZombieCure.exe" "$program" && echo same)" "same" "it is the built program"
check "$([ -f "$install_unix/uninstall.exe" ] && echo yes)" "yes" "the uninstaller is beside it"
if [ -n "$signing_ca" ]; then
  for signed in "$install_unix/ZombieCure.exe" "$install_unix/uninstall.exe"; do
    check "$(bash "$root/scripts/verify-signatures.sh" "$signing_ca" "$signed" >/dev/null && echo signed)" "signed" \
      "$(basename "$signed") carries a valid Authenticode signature"
  done
fi
check "$([ -f "$shortcut" ] && echo yes)" "yes" "the Start-menu shortcut exists"
check "$(value_of DisplayName)" "$product" "installed-programs entry: name"
check "$(value_of DisplayVersion)" "$version" "installed-programs entry: the program's version"
check "$(value_of DisplayIcon)" "$installed_exe,0" "installed-programs entry: the program's icon"
check "$(value_of InstallLocation)" "$install_dir" "installed-programs entry: location"
check "$(value_of UninstallString)" "\"$install_dir\\uninstall.exe\"" "installed-programs entry: uninstall command"
check "$(value_of QuietUninstallString)" "\"$install_dir\\uninstall.exe\" /S" "installed-programs entry: quiet uninstall"
check "$(value_of NoModify) $(value_of NoRepair)" "#1 #1" "installed-programs entry: no modify, no repair"
size=$(value_of EstimatedSize | tr -d '#')
check "$([ "${size:-0}" -gt 0 ] && echo positive)" "positive" "installed-programs entry: estimated size ($size KiB)"
check "$(value_of Publisher | grep -c .)" "1" "installed-programs entry: publisher"

# --- the installed program runs and stores its option and log-on value ---------------
start_server "$data/definitions.txt"
wine "$install_unix/ZombieCure.exe" >"$work/program.log" 2>&1 </dev/null &
program_pid=$!
wait_ready
drv click $CHECK1
check "$(wait_for 10 on drv setting)" "on" "the installed program stores its option"
check "$(drv run-values | grep "^$name=" || true)" "$name=$installed_exe" "and its log-on value names the installed program"

# A copy of the program in another folder, started after the installed one.
mkdir -p "$other_dir"
cp "$program" "$other_dir/ZombieCure.exe"
wine "$other_dir/ZombieCure.exe" >"$work/other.log" 2>&1 </dev/null &
other_pid=$!
# It reads the stored "on" and points the log-on value at itself; point it back.
other_exe='C:\zc-other-copy\ZombieCure.exe'
entry() { drv run-values | grep "^$name=" || true; }
check "$(wait_for 30 "$name=$other_exe" entry)" "$name=$other_exe" "the other copy takes the log-on value"
drv set-run-value "$name" "$installed_exe"

# --- silent uninstall while both run ---------------------------------------------------
quiet=$(value_of QuietUninstallString)
uninstaller=$(sed -E 's/^"([^"]+)".*/\1/' <<<"$quiet")
timeout 120 wine "$(unix_path "$uninstaller")" /S >"$work/uninstall.log" 2>&1 </dev/null || true
# The uninstaller goes on from a copy of itself in the temporary folder: wait for its end.
gone() { probe_key "$uninstall_key" >/dev/null && echo present || echo gone; }
check "$(wait_for 60 gone gone)" "gone" "the installed-programs entry is removed"
check "$(wait_program_end 20 && echo ended)" "ended" "the running installed program was ended"
check "$(kill -0 "$other_pid" 2>/dev/null && echo running)" "running" "the copy in another folder still runs"
check "$(ls -A "$install_unix" 2>/dev/null || echo none)" "none" "the program folder is gone"
check "$([ -e "$shortcut" ] && echo present || echo gone)" "gone" "the Start-menu shortcut is gone"
check "$(probe_key "$settings_key" >/dev/null && echo present || echo gone)" "gone" "the settings are gone"
check "$(entry)" "" "the log-on value naming the installed program is gone"
check "$(cat "$backup_dir/$log_file" 2>/dev/null | tr -d '\r')" "[2026-12-10 10:00:00] zombie.exe treated" \
  "the backup folder's log is kept"
check "$([ -f "$backup_dir/zombie.exe" ] && echo kept)" "kept" "the backup copy is kept"

# Installed again; a log-on value that names another copy of the program stays.
timeout 120 wine "$installer" /S >>"$work/install.log" 2>&1 </dev/null
drv set-run-value "$name" "$other_exe"
timeout 120 wine "$install_unix/uninstall.exe" /S >>"$work/uninstall.log" 2>&1 </dev/null || true
check "$(wait_for 60 gone gone)" "gone" "uninstalled again"
check "$(entry)" "$name=$other_exe" "a log-on value that names another copy is left alone"
check "$(kill -0 "$other_pid" 2>/dev/null && echo running)" "running" "and that copy still runs"
conclude
