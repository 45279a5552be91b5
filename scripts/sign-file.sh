#!/usr/bin/env bash
# Signs a Windows executable in place with Authenticode (SHA-256) through osslsigncode:
#   sign-file.sh CERTIFICATE KEY FILE [TIMESTAMP-URL]
# CERTIFICATE and KEY are PEM files (the certificate may hold its chain); without a
# TIMESTAMP-URL the signature has no timestamp. The signed file replaces FILE only once it is
# whole.
set -euo pipefail
cert=$1 key=$2 file=$3 timestamp=${4:-}
args=(sign -certs "$cert" -key "$key" -h sha256 -n "좀비 PC 치료기" -in "$file" -out "$file.signing")
[ -n "$timestamp" ] && args+=(-ts "$timestamp")
rm -f "$file.signing"
osslsigncode "${args[@]}" >/dev/null
mv -f "$file.signing" "$file"
