#!/usr/bin/env bash
# What the built MSI package will do, read from its tables with msiinfo (package msitools):
#   check-package.sh PACKAGE [SIGNING-CA]
# Per machine, 64-bit, under Program Files; a major upgrade of every older version; the
# store's custom action deferred, not impersonated, after the files are in place and before
# InstallFinalize; the event source; the refusal to install over the NSIS installer's copy;
# the machine-wide log-on value only on request. With SIGNING-CA: a valid signature.
set -uo pipefail
package=$1
signing_ca=${2:-}
failures=0
check() {  # check ACTUAL EXPECTED WHAT
  if [ "$1" == "$2" ]; then echo "ok: $3"; else echo "FAIL: $3: got [$1], expected [$2]"; failures=$((failures + 1)); fi
}
table() { msiinfo export "$package" "$1" 2>/dev/null | tr -d '\r' | tail -n +4; }
sequence_of() { table InstallExecuteSequence | awk -F'\t' -v a="$1" '$1 == a { print $3 }'; }

summary=$(msiinfo suminfo "$package" 2>/dev/null)
check "$(sed -n 's/^Template: //p' <<<"$summary")" "x64;1033" "a 64-bit package"
check "$(table Property | awk -F'\t' '$1 == "ALLUSERS" { print $2 }')" "1" "installed per machine (ALLUSERS=1)"
check "$(table Directory | awk -F'\t' '$1 == "INSTALLFOLDER" { print $2 "|" $3 }')" "ProgramFiles64Folder|ZombieCure" \
  "into the 64-bit Program Files"

prepare=$(sequence_of PrepareStore)
files=$(sequence_of InstallFiles)
finalize=$(sequence_of InstallFinalize)
check "$([ -n "$prepare" ] && [ "$prepare" -gt "$files" ] && [ "$prepare" -lt "$finalize" ] && echo between)" "between" \
  "PrepareStore ($prepare) runs after InstallFiles ($files) and before InstallFinalize ($finalize)"
check "$(table InstallExecuteSequence | awk -F'\t' '$1 == "PrepareStore" { print $2 }')" "NOT REMOVE" \
  "PrepareStore runs on install and upgrade, not on uninstall"
# Type 18 (an installed file as the program) + 1024 (deferred) + 2048 (not impersonated).
check "$(table CustomAction | awk -F'\t' '$1 == "PrepareStore" { print $2 "|" $3 "|" $4 }')" \
  "3090|ZombieCureExe|/prepare-store" "PrepareStore runs the installed program, deferred, as LocalSystem"

upgrade=$(table Upgrade)
# Every version below this one (VersionMax, not inclusive) is found; none above it.
check "$(awk -F'\t' '$7 == "WIX_UPGRADE_DETECTED" { print $2 "|" $3 }' <<<"$upgrade")" \
  "|$(table Property | awk -F'\t' '$1 == "ProductVersion" { print $2 }')" "older versions are found and replaced (MajorUpgrade)"
check "$([ -n "$(sequence_of RemoveExistingProducts)" ] && echo yes)" "yes" "the older version is removed"

launch=$(table LaunchCondition)
check "$(grep -c '^Installed OR NOT NSISINSTALL' <<<"$launch")" "1" "refuses to install over the NSIS installer's copy"
# Root 2 (HKLM), type 18: the value as it is (2), in the 64-bit view (16).
check "$(table RegLocator | awk -F'\t' '$1 == "NsisInstallEntry" { print $2 "|" $3 "|" $5 }')" \
  '2|Software\Microsoft\Windows\CurrentVersion\Uninstall\ZombieCure|18' "looked for in the 64-bit HKLM entry"
registry=$(table Registry)
check "$(awk -F'\t' '$4 == "EventMessageFile" { print $2 "|" $3 "|" $5 }' <<<"$registry")" \
  '2|SYSTEM\CurrentControlSet\Services\EventLog\Application\ZombieCure|[INSTALLFOLDER]ZombieCure.exe' \
  "the event source names the installed program"
check "$(awk -F'\t' '$4 == "TypesSupported" { print $5 }' <<<"$registry")" "#7" "the event source's types"
check "$(table Component | awk -F'\t' '$1 == "MachineRunValue" { print $5 }')" \
  'ALLUSERSRUN="1" OR POLICYALLUSERSRUN="#1" OR REMOVE="ALL"' "the machine-wide log-on value only when asked"
check "$(table RemoveFile | awk -F'\t' '$1 == "ProgramLog" { print $3 "|" $4 "|" $5 }')" "*.txt|INSTALLFOLDER|2" \
  "the uninstall removes the program's log beside it"

if [ -n "$signing_ca" ]; then
  check "$(bash "$(dirname "$0")/../../scripts/verify-signatures.sh" "$signing_ca" "$package" >/dev/null && echo signed)" \
    "signed" "the package carries a valid Authenticode signature"
fi
echo "$failures failed"
[ "$failures" -eq 0 ]
