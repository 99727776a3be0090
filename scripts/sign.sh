#!/usr/bin/env bash
# Signs Windows binaries (programs, installers, MSI packages) in place with Authenticode,
# SHA-256, using osslsigncode and the certificate in ZOLV_SIGN_PKCS12 (a .pfx file) with the
# password in ZOLV_SIGN_PASSWORD; ZOLV_SIGN_TIMESTAMP_URL, when set, names an RFC 3161 time-stamp
# server, so that the signatures stay valid after the certificate expires.
# Usage: scripts/sign.sh FILE...
set -euo pipefail
: "${ZOLV_SIGN_PKCS12:?the certificate (.pfx) to sign with}"
: "${ZOLV_SIGN_PASSWORD?the password of the certificate}"
for file in "$@"; do
  args=(sign -pkcs12 "$ZOLV_SIGN_PKCS12" -h sha256 -n "ZOLV Online" -in "$file"
    -out "$file.signing")
  [ -z "${ZOLV_SIGN_TIMESTAMP_URL:-}" ] || args+=(-ts "$ZOLV_SIGN_TIMESTAMP_URL")
  rm -f "$file.signing"
  # The password goes through a pipe, not the command line that every user can see.
  if ! osslsigncode "${args[@]}" -readpass /dev/stdin <<<"$ZOLV_SIGN_PASSWORD" \
    >"$file.signing.log" 2>&1; then
    cat "$file.signing.log" >&2
    rm -f "$file.signing" "$file.signing.log"
    echo "sign: could not sign $file" >&2
    exit 1
  fi
  rm -f "$file.signing.log"
  mv "$file.signing" "$file"
done
