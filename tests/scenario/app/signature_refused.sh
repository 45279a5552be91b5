#!/usr/bin/env bash
# Sets the publisher did not sign: a tampered set served with its old signature, a set
# served without a signature and a set served with the signature of another set. Each
# time the error report names the bad definitions, its detail names the signature, and
# the program ends before monitoring starts.
source "$(dirname "$0")/scenario-lib.sh"

# The build's own set with one byte changed in element 0, its serial and expiry, which
# read as none once changed: the signature tells it from the original first.
sed '1s/^/X/' "$data/definitions.txt" >"$work/tampered.txt"
cmp -s "$data/definitions.txt" "$work/tampered.txt" && { echo "the tampered set equals the original"; exit 1; }

stop_server() {
  [ -n "$server" ] && { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
  server=""
}

title=$(plain MessageTitle)
refused() {  # WHAT EXPECTED-DETAIL server-arguments...
  local what=$1 detail=$2
  shift 2
  hold_port port python3 "$root/scripts/definitions-server.py" --port "$port" --path "$path" "$@"
  start_program
  local text
  text=$(drv wait-message "$title" 30000 || true)
  check "${text%%$'\n'*}" "$(plain StartupDefinitionsError)" "$what: the report names the bad definitions"
  local names=no
  [[ $text == *"$detail"* ]] && names=yes
  check "$names" "yes" "$what: its detail reads \"$detail\" (${text##*$'\n'})"
  check "$(drv text $LABEL7)" "현재상태 : " "$what: start-up stopped before the monitoring status"
  drv dismiss-message "$title" || true
  wait_program_end 15 && check ended ended "$what: the program ends after the report" ||
    check running ended "$what: the program ends after the report"
  stop_server
}

refused "tampered set, old signature" "the definitions signature does not match the definitions set" \
  --file "$work/tampered.txt" --signature "$data/definitions.txt.sig"
refused "no signature" "the definitions signature is missing" \
  --file "$data/definitions.txt" --no-signature
refused "another set's signature" "the definitions signature does not match the definitions set" \
  --file "$data/definitions.txt" --signature "$data/definitions-newer.txt.sig"
conclude
