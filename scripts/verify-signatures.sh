#!/usr/bin/env bash
# Verifies the Authenticode signature of each FILE against CA-CERTIFICATE:
#   verify-signatures.sh CA-CERTIFICATE FILE...
# Prints one line per file and exits non-zero when any signature is missing or wrong.
set -uo pipefail
ca=$1
shift
status=0
for file in "$@"; do
  if out=$(osslsigncode verify -CAfile "$ca" -in "$file" 2>&1) && grep -q "Signature verification: ok" <<<"$out"; then
    echo "ok: $file"
  else
    echo "FAIL: $file"
    echo "$out" | tail -n 5
    status=1
  fi
done
exit $status
