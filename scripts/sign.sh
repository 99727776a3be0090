#!/usr/bin/env bash
# Signs Windows binaries (programs, DLLs, installers, MSI packages) in place with Authenticode,
# SHA-256, using osslsigncode and the certificate in ZOLV_SIGN_PKCS12 (a .pfx file) with the
# password in ZOLV_SIGN_PASSWORD, time-stamped by the RFC 3161 server ZOLV_SIGN_TIMESTAMP_URL so
# that the signatures stay valid after the certificate expires. Without a time-stamp server it
# refuses, unless ZOLV_SIGN_NO_TIMESTAMP=1 asks for signatures that lapse with the certificate
# (a throwaway test certificate). Without files it only checks the settings.
# Usage: scripts/sign.sh [FILE...]
set -euo pipefail
: "${ZOLV_SIGN_PKCS12:?the certificate (.pfx) to sign with}"
: "${ZOLV_SIGN_PASSWORD?the password of the certificate}"
if [ -z "${ZOLV_SIGN_TIMESTAMP_URL:-}" ] && [ "${ZOLV_SIGN_NO_TIMESTAMP:-}" != 1 ]; then
  echo "sign: no ZOLV_SIGN_TIMESTAMP_URL: signatures without a time stamp lapse with the" \
    "certificate; set ZOLV_SIGN_NO_TIMESTAMP=1 to sign without one anyway" >&2
  exit 2
fi
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
