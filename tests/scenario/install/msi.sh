#!/usr/bin/env bash
# The MSI package as a management tool deploys it: `msiexec /i PACKAGE /qn` puts the
# program into the 64-bit Program Files, registers the event source, makes the backup
# store's root (the deferred custom action) and, with ALLUSERSRUN=1, writes the machine-wide
# log-on value; the installed program starts and reaches its window; the NSIS installer
# refuses to install over the package; `msiexec /x PACKAGE /qn` removes all of it. Then the
# other way round: over the NSIS installer's copy the package refuses and changes nothing.
#
# Arguments: PROGRAM DRIVER DATA-DIR DEFINITIONS-URL PACKAGE REGISTRY-PROBE INSTALLER
package=$5
probe=$6
installer=$7
source "$(dirname "$0")/../app/scenario-lib.sh"

name=$(plain LogonValueName)
source_key="HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\$(plain EventSourceName)"
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
nsis_entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZombieCure'

win() { timeout 60 wine cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
probe_key() { timeout 60 wine "$probe" "$1" 2>/dev/null | tr -d '\r'; }
value_in() { probe_key "$1" | sed -n "s/^$2=//p"; }
# The whole exit code of a Windows program (Wine's own exit status keeps only its low 8
# bits: 1603 would read 67): a batch file runs it and prints %errorlevel%.
exit_code() {  # WINDOWS-PROGRAM ARGUMENTS...
  local line="@\"$1\""
  shift
  for argument in "$@"; do line+=" $argument"; done
  printf '%s\r\n@echo exit=%%errorlevel%%\r\n' "$line" >"$work/exit-code.bat"
  timeout 180 wine cmd /c "$(winepath -w "$work/exit-code.bat" 2>/dev/null | tr -d '\r')" 2>>"$work/msiexec.log" \
    </dev/null | tr -d '\r' | sed -n 's/^exit=//p'
}
msiexec() { exit_code msiexec "$@"; }  # ARGUMENTS...: the exit code of Windows Installer

install_dir="$(win '%ProgramW6432%')\\ZombieCure"
installed_exe="$install_dir\\ZombieCure.exe"
install_unix=$(unix_path "$install_dir")
package_win=$(winepath -w "$package" 2>/dev/null | tr -d '\r')
store_key=$(unix_path "$(plain BackupRoot)")/$(plain SealKeyFileName)

leftovers() {
  [ -e "$install_unix/uninstall.exe" ] &&
    timeout 120 wine "$install_unix/uninstall.exe" /S _?="$install_dir" >/dev/null 2>&1
  msiexec /x "$package_win" /qn >/dev/null
  rm -rf "$install_unix"
}
trap 'leftovers; finish' EXIT
leftovers

# --- a silent install, with the machine-wide log-on value --------------------------------
check "$(msiexec /i "$package_win" /qn ALLUSERSRUN=1)" "0" "msiexec /i /qn ends with exit code 0"
check "$(cmp -s "$install_unix/ZombieCure.exe" "$program" && echo same)" "same" \
  "the built program is in the 64-bit Program Files"
check "$(value_in "$source_key" EventMessageFile)" "$installed_exe" "the event source names the installed program"
# The silent scan's console form is installed beside the program and answers at once: a
# bad argument is exit code 6.
set +e
timeout 60 wine "$install_unix/zcscan.exe" /scan /no-such-switch </dev/null >/dev/null 2>&1
scan_code=$?
set -e
check "$scan_code" "6" "zcscan.exe is installed beside it and answers (a bad argument: 6)"
check "$(value_in "$source_key" TypesSupported)" "#7" "the event source takes errors, warnings and information"
check "$(value_in "$machine_run" "$name")" "\"$installed_exe\"" "ALLUSERSRUN=1 writes the machine-wide log-on value"
check "$([ -f "$store_key" ] && echo made)" "made" "the custom action made the backup store's root and its key"

# The installed program runs from Program Files.
start_server "$data/definitions.txt"
wine "$install_unix/ZombieCure.exe" >"$work/program.log" 2>&1 </dev/null &
program_pid=$!
wait_ready
stop_program
stop_server

# The NSIS installer does not install over the package.
check "$(exit_code "$(winepath -w "$installer" 2>/dev/null | tr -d '\r')" /S)" "1638" \
  "the NSIS installer refuses to install over the package (exit code 1638)"
check "$(probe_key "$nsis_entry" >/dev/null && echo present || echo absent)" "absent" "and writes no entry of its own"
check "$([ -e "$install_unix/uninstall.exe" ] && echo present || echo absent)" "absent" "nor its uninstaller"

# --- a silent uninstall --------------------------------------------------------------------
check "$(msiexec /x "$package_win" /qn)" "0" "msiexec /x /qn ends with exit code 0"
check "$([ -e "$install_unix/ZombieCure.exe" ] && echo present || echo gone)" "gone" "the program is removed"
check "$([ -e "$install_unix/zcscan.exe" ] && echo present || echo gone)" "gone" "zcscan.exe is removed"
check "$(probe_key "$source_key" >/dev/null && echo present || echo gone)" "gone" "the event source is removed"
check "$(value_in "$machine_run" "$name")" "" "the machine-wide log-on value is removed"

# Without ALLUSERSRUN=1 (and without the policy) there is no machine-wide log-on value.
check "$(msiexec /i "$package_win" /qn)" "0" "installed again, without ALLUSERSRUN"
check "$(value_in "$machine_run" "$name")" "" "no machine-wide log-on value unless asked for"
check "$(msiexec /x "$package_win" /qn)" "0" "and removed again"

# --- the package does not install over the NSIS installer's copy ------------------------------
timeout 120 wine "$installer" /S >>"$work/install.log" 2>&1 </dev/null
check "$(value_in "$nsis_entry" DisplayName)" "$(plain WindowCaption)" "the NSIS installer installed"
check "$(msiexec /i "$package_win" /qn)" "1603" "the package refuses to install over it (exit code 1603)"
check "$(value_in "$source_key" EventMessageFile)" "$installed_exe" "the NSIS copy's event source is as it was"
check "$([ -f "$install_unix/uninstall.exe" ] && echo kept)" "kept" "the NSIS copy's files are as they were"
timeout 120 wine "$install_unix/uninstall.exe" /S _?="$install_dir" >/dev/null 2>&1 || true
rm -rf "$install_unix"
conclude
