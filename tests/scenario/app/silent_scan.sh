#!/usr/bin/env bash
# The silent scan as a management tool runs it: an autorun value and a service entry of
# the sample definitions, planted in the test prefix, then the console form zcscan.exe.
# "/scan /report FILE" exits 1, lists both and reports each with its file's SHA-256,
# and changes nothing; "/scan /treat" exits 2, and the value, the service and the files
# are gone (backed up, placeholders in their place) without a window of any kind; the
# program's own "/scan" then finds nothing (0). Bad arguments exit 6 with the usage text,
# and a definitions server that refuses the connection exits 4.
# Extra argument: the path of zcscan.exe.
source "$(dirname "$0")/scenario-lib.sh"
zcscan=$5

drive_c="$WINEPREFIX/drive_c"
folder_name=zcsilentscan
folder="$drive_c/$folder_name"
win_folder="C:\\$folder_name"
service=ZcTestSvc
autorun=ZcTestAutorun
service_image=zcssservice.exe
autorun_image=zcssautorun.exe
names=("$service_image" "$autorun_image")
backup_root_name=$(plain BackupRoot)
backup_root="$drive_c/${backup_root_name#C:\\}"
report="$folder/report.json"

win() { timeout 120 wine "$@" </dev/null 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
service_exists() { win reg query "HKLM\\SYSTEM\\CurrentControlSet\\Services\\$service" >/dev/null; }
# Runs zcscan.exe (or PROGRAM) with ARGUMENTS; its output in $work/out.txt, its code in $code.
scan() {
  set +e
  timeout 180 wine "$@" </dev/null >"$work/out.raw" 2>"$work/err.raw"
  code=$?
  set -e
  tr -d '\r' <"$work/out.raw" >"$work/out.txt"
}
# A value of the report: a Python expression over `r`, the report read as JSON.
report_value() { python3 -c "import json,sys; r=json.load(open(sys.argv[1],encoding='utf-8')); print($1)" "$report"; }

clean_up() {
  win sc delete "$service" >/dev/null || true
  drv set-run-value "$autorun" - >/dev/null || true
  drv close-explorers >/dev/null 2>&1 || true
  rm -rf "$folder"
  for name in "${names[@]}"; do rm -rf "${backup_root:?}/$name"; done
  rmdir "$backup_root" 2>/dev/null || true
}
trap 'status=$?; clean_up; finish $status' EXIT
clean_up

mkdir -p "$folder"
cp "$driver" "$folder/$service_image"
cp "$(dirname "$driver")/zc_attribute_probe.exe" "$folder/$autorun_image"
cp "$program" "$folder/ZombieCure.exe"
cp "$zcscan" "$folder/zcscan.exe"
win sc create "$service" binPath= "$win_folder\\$service_image" >/dev/null || true
service_exists || { echo "FAIL: the service entry could not be made"; exit 1; }
drv set-run-value "$autorun" "$win_folder\\$autorun_image"
sha_service=$(sha256sum "$folder/$service_image" | cut -d' ' -f1)
sha_autorun=$(sha256sum "$folder/$autorun_image" | cut -d' ' -f1)

# --- bad arguments ---------------------------------------------------------------------
scan "$folder/zcscan.exe" /scan /bogus
check "$code" "6" "a bad argument exits 6"
check "$(grep -c "/bogus" "$work/err.raw" || true) $(grep -c "zcscan.exe /scan" "$work/err.raw" || true)" "1 1" \
  "it names the argument and prints the usage text"

# --- a scan that changes nothing ---------------------------------------------------------
start_server "$data/definitions.txt"
scan "$folder/zcscan.exe" /scan /report "$win_folder\\report.json"
check "$code" "1" "/scan with findings exits 1"
check "$(grep -c "^found" "$work/out.txt" || true)" "2" "it prints one line per finding"
check "$(report_value "r['exitCode'], len(r['findings']), r['treat']")" "1 2 False" "the report: exit code, findings"
check "$(report_value "sorted((f['kind'], f['path'], f['files'][0]['sha256'], f['outcome']) for f in r['findings'])")" \
  "$(python3 -c "import sys; print(sorted([('autorun-value', sys.argv[1], sys.argv[3], 'found'), ('hidden-service', sys.argv[2], sys.argv[4], 'found')]))" \
     "$win_folder\\$autorun_image" "$win_folder\\$service_image" "$sha_autorun" "$sha_service")" \
  "each finding with its kind, path and its file's SHA-256"
check "$(drv run-values | grep -c "^$autorun=" || true)" "1" "the autorun value stays"
check "$(service_exists && echo present || echo removed)" "present" "the service entry stays"
check "$(cmp -s "$driver" "$folder/$service_image" && echo same)" "same" "the service's file stays"

# --- a scan that treats ----------------------------------------------------------------
scan "$folder/zcscan.exe" /scan /treat /report "$win_folder\\report.json"
check "$code" "2" "/scan /treat exits 2 when everything is treated"
check "$(report_value "sorted(f['outcome'] for f in r['findings'])")" "['treated', 'treated']" "the report says both were treated"
check "$(drv run-values | grep -c "^$autorun=" || true)" "0" "the autorun value is deleted"
for _ in $(seq 1 20); do service_exists || break; sleep 0.5; done
check "$(service_exists && echo present || echo removed)" "removed" "the service entry is removed"
for name in "${names[@]}"; do
  check "$([ -d "$folder/$name" ] && echo folder)" "folder" "$name: a placeholder folder stands at its path"
  check "$([ -f "$backup_root/$name/$name" ] && echo kept)" "kept" "$name: its backup copy is kept"
done
check "$(xdotool search --name "^(${names[0]}|${names[1]})\$" 2>/dev/null | wc -l)" "0" "no file explorer was opened"

# The program's own form of the scan: nothing left to find.
scan "$folder/ZombieCure.exe" /scan
check "$code" "0" "ZombieCure.exe /scan finds nothing afterwards (0)"

# --- definitions that cannot be had ----------------------------------------------------
stop_server
refuse_port
scan "$folder/zcscan.exe" /scan /report "$win_folder\\report.json"
check "$code" "4" "a refused connection exits 4"
check "$(report_value "r['exitCode'], len(r['findings'])")" "4 0" "the report says why, with no findings"
stop_server
conclude
