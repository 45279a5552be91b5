#!/usr/bin/env bash
# Each file carries a valid Authenticode signature, SHA-256, that chains to CA-FILE; a
# changed byte breaks it.
#   verify_signatures.sh CA-FILE FILE...
set -uo pipefail
ca=$1
shift
failed=0
for file in "$@"; do
  out=$(osslsigncode verify -CAfile "$ca" -in "$file" 2>&1)
  if grep -q '^Signature verification: ok' <<<"$out" && grep -q 'Message digest algorithm *: SHA256' <<<"$out" &&
     grep -q '^Succeeded' <<<"$out"; then
    echo "ok: $(basename "$file") is signed (SHA-256) and verifies"
  else
    echo "FAIL: $(basename "$file") does not verify:"; echo "$out" | tail -n 8; failed=1
  fi
done
# A copy with one byte changed inside the signed part must fail.
tampered=$(mktemp)
trap 'rm -f "$tampered"' EXIT
cp "$1" "$tampered"
printf 'Z' | dd of="$tampered" bs=1 seek=1024 conv=notrunc 2>/dev/null
if osslsigncode verify -CAfile "$ca" -in "$tampered" 2>&1 | grep -q '^Succeeded'; then
  echo "FAIL: a changed copy of $(basename "$1") still verifies"; failed=1
else
  echo "ok: a changed copy of $(basename "$1") does not verify"
fi
exit $failed
