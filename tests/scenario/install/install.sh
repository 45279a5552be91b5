#!/usr/bin/env bash
# The installer as an administrator runs it: a folder outside Program Files is refused; a
# silent install puts the program in the 64-bit Program Files, its Start-menu shortcut for
# all users, its installed-programs entry under HKLM and its event source, makes the backup
# store's root, starts nothing, and removes the per-user install an earlier installer made; the
# installed program starts and turns its start-at-log-on option on; a second copy runs
# from another folder; the silent uninstall (the entry's QuietUninstallString) ends the
# installed copy only and removes everything of ours but the backup folders and their logs.
# A per-user entry that names any other folder is never acted on.
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
value_of() { probe_key "HKLM\\$uninstall_key" | sed -n "s/^$1=//p"; }
user_value_of() { probe_key "$uninstall_key" | sed -n "s/^$1=//p"; }
reg_add() { timeout 60 wine reg add "HKCU\\$uninstall_key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }
source_key="HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\$(plain EventSourceName)"
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
value_in() { probe_key "$1" | sed -n "s/^$2=//p"; }
# The program's processes as Linux lists them (Wine keeps the Windows path in the command).
installed_running() { ps -eo args | grep -c 'Program Files.ZombieCure.ZombieCure\.exe' || true; }

local_app_data=$(win '%LOCALAPPDATA%')
app_data=$(win '%APPDATA%')
install_dir="$(win '%ProgramW6432%')\\ZombieCure"
installed_exe="$install_dir\\ZombieCure.exe"
install_unix=$(unix_path "$install_dir")
shortcut=$(unix_path "$(win '%ProgramData%')\\Microsoft\\Windows\\Start Menu\\Programs")/$product.lnk
user_dir="$local_app_data\\Programs\\ZombieCure"
user_unix=$(unix_path "$user_dir")
user_shortcut=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs")/$product.lnk
decoy_dir=$(unix_path 'C:\zc-decoy')
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
  rm -rf "$backup_dir" "$other_dir" "$decoy_dir" "$user_unix" "$user_shortcut"
  timeout 60 wine reg delete "HKCU\\$uninstall_key" /f >/dev/null 2>&1 || true
}
trap 'leftovers; finish' EXIT
if [ -e "$install_unix/uninstall.exe" ]; then  # an earlier run that stopped half-way
  timeout 120 wine "$install_unix/uninstall.exe" /S _?="$install_dir" >/dev/null 2>&1 || true
fi
mkdir -p "$backup_dir"
printf 'backup copy\r\n' >"$backup_dir/zombie.exe"
printf '[2026-12-10 10:00:00] zombie.exe treated\r\n' >"$backup_dir/$log_file"

# A per-user install as the earlier installer made it, started at log-on.
mkdir -p "$user_unix" "$(dirname "$user_shortcut")"
cp "$program" "$user_unix/ZombieCure.exe"
cp "$program" "$user_unix/uninstall.exe"
printf 'log\r\n' >"$user_unix/$log_file"
printf 'shortcut' >"$user_shortcut"
reg_add DisplayName "$product"
reg_add InstallLocation "$user_dir"
reg_add QuietUninstallString "\"$user_dir\\uninstall.exe\" /S"
drv set-run-value "$name" "$user_dir\\ZombieCure.exe"

# --- folders outside Program Files are refused ------------------------------------------
# /D= must come last, unquoted, as a batch file writes it.
for refused in 'C:\zc-elsewhere' 'C:\Program Files\..\zc-elsewhere' 'C:\Program Files'; do
  printf '@"%s" /S /D=%s\r\n@exit /b %%errorlevel%%\r\n' "$(winepath -w "$installer" 2>/dev/null | tr -d '\r')" "$refused" \
    >"$work/elsewhere.bat"
  status=0
  timeout 120 wine cmd /c "$(winepath -w "$work/elsewhere.bat" 2>/dev/null | tr -d '\r')" >>"$work/install.log" 2>&1 \
    </dev/null || status=$?
  check "$status" "2" "/D=$refused is refused with exit code 2"
done
check "$([ -e "$(unix_path 'C:\zc-elsewhere')" ] && echo present || echo absent)" "absent" "nothing was installed there"
check "$(probe_key "HKLM\\$uninstall_key" >/dev/null && echo present || echo absent)" "absent" \
  "and no installed-programs entry was written"

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
check "$(value_of Publisher)" "ZombieCure" "installed-programs entry: publisher"
check "$(value_in "$source_key" EventMessageFile)" "$installed_exe" "the event source names the installed program"
check "$(value_in "$source_key" TypesSupported)" "#7" "the event source takes errors, warnings and information"
check "$([ -f "$(unix_path "$(plain BackupRoot)")/$(plain SealKeyFileName)" ] && echo made)" "made" \
  "the backup store's root and its key were made at install time (/prepare-store)"
check "$(value_in "$machine_run" "$name")" "" "no machine-wide log-on value unless asked for"
sleep 2
check "$(installed_running)" "0" "the silent install starts no program (the finish page's start is not run)"
check "$(ls -A "$user_unix" 2>/dev/null || echo none)" "none" "the per-user install's folder is gone"
check "$([ -e "$user_shortcut" ] && echo present || echo gone)" "gone" "the per-user Start-menu shortcut is gone"
check "$(probe_key "$uninstall_key" >/dev/null && echo present || echo gone)" "gone" "the per-user entry is gone"
check "$(drv run-values | grep "^$name=" || true)" "$name=\"$installed_exe\"" \
  "the log-on value that started the per-user copy starts the installed one"

# --- the installed program runs and stores its option and log-on value ---------------
start_server "$data/definitions.txt"
wine "$install_unix/ZombieCure.exe" >"$work/program.log" 2>&1 </dev/null &
program_pid=$!
wait_ready
check "$([ "$(installed_running)" -ge 1 ] && echo seen)" "seen" "a running installed program is seen (so none ran before)"
drv click $CHECK1
check "$(wait_for 10 on drv setting)" "on" "the installed program stores its option"
# A path with spaces is quoted, so Windows starts the program and not "C:\Program".
check "$(drv run-values | grep "^$name=" || true)" "$name=\"$installed_exe\"" "and its log-on value names the installed program"

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
gone() { probe_key "HKLM\\$uninstall_key" >/dev/null && echo present || echo gone; }
check "$(wait_for 60 gone gone)" "gone" "the installed-programs entry is removed"
check "$(wait_program_end 20 && echo ended)" "ended" "the running installed program was ended"
check "$(kill -0 "$other_pid" 2>/dev/null && echo running)" "running" "the copy in another folder still runs"
check "$(ls -A "$install_unix" 2>/dev/null || echo none)" "none" "the program folder is gone"
check "$([ -e "$shortcut" ] && echo present || echo gone)" "gone" "the Start-menu shortcut is gone"
check "$(probe_key "$settings_key" >/dev/null && echo present || echo gone)" "gone" "the settings are gone"
check "$(entry)" "" "the log-on value naming the installed program is gone"
check "$(probe_key "$source_key" >/dev/null && echo present || echo gone)" "gone" "the event source is gone"
check "$(cat "$backup_dir/$log_file" 2>/dev/null | tr -d '\r')" "[2026-12-10 10:00:00] zombie.exe treated" \
  "the backup folder's log is kept"
check "$([ -f "$backup_dir/zombie.exe" ] && echo kept)" "kept" "the backup copy is kept"

# Installed again over a per-user entry that names a folder other than the user's program
# folder: the elevated installer neither runs its command nor deletes anything there.
mkdir -p "$decoy_dir"
cp "$program" "$decoy_dir/ZombieCure.exe"
printf 'keep\r\n' >"$decoy_dir/uninstall.exe"
reg_add InstallLocation 'C:\zc-decoy'
reg_add QuietUninstallString '"C:\zc-decoy\uninstall.exe" /S'
timeout 120 wine "$installer" /S /ALLUSERSRUN=1 >>"$work/install.log" 2>&1 </dev/null
check "$(value_in "$machine_run" "$name")" "\"$installed_exe\"" "/ALLUSERSRUN=1 writes the machine-wide log-on value"
check "$([ -f "$decoy_dir/ZombieCure.exe" ] && [ -f "$decoy_dir/uninstall.exe" ] && echo kept)" "kept" \
  "files in the folder a per-user entry names elsewhere are kept"
check "$(user_value_of InstallLocation)" 'C:\zc-decoy' "and that entry is left alone"
check "$([ -f "$install_unix/ZombieCure.exe" ] && echo yes)" "yes" "installed again"
# A log-on value that names another copy of the program stays.
drv set-run-value "$name" "$other_exe"
timeout 120 wine "$install_unix/uninstall.exe" /S >>"$work/uninstall.log" 2>&1 </dev/null || true
check "$(wait_for 60 gone gone)" "gone" "uninstalled again"
check "$(entry)" "$name=$other_exe" "a log-on value that names another copy is left alone"
check "$(value_in "$machine_run" "$name")" "" "the machine-wide log-on value naming the installed program is gone"
check "$(kill -0 "$other_pid" 2>/dev/null && echo running)" "running" "and that copy still runs"

# The uninstaller says what it could not remove: a file of the user's own in the program
# folder keeps the folder (exit code 2 in silent use), and the uninstaller that runs in
# place (_?=) is in use, so it is removed when Windows restarts.
timeout 120 wine "$installer" /S >>"$work/install.log" 2>&1 </dev/null
printf 'mine\r\n' >"$install_unix/notes.txt"
status=0
# _?= must stand unquoted at the end of the command line, as a batch file writes it.
printf '@"%s\\uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' "$install_dir" "$install_dir" >"$work/in-place.bat"
timeout 120 wine cmd /c "$(winepath -w "$work/in-place.bat" 2>/dev/null | tr -d '\r')" >>"$work/uninstall.log" 2>&1 \
  </dev/null || status=$?
check "$status" "2" "an uninstall that leaves something behind ends with exit code 2"
check "$([ -f "$install_unix/ZombieCure.exe" ] && echo present || echo gone)" "gone" "the program is removed"
check "$([ -f "$install_unix/notes.txt" ] && echo kept)" "kept" "the user's own file is kept"
pending=$(timeout 60 wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
          /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' | grep -ci 'ZombieCure.uninstall\.exe' || true)
check "$([ "${pending:-0}" -gt 0 ] && echo scheduled)" "scheduled" "the uninstaller in use is removed at restart"
rm -rf "$install_unix"
conclude
