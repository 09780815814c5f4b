#!/usr/bin/env bash
# Signs Windows programs in place, Authenticode with SHA-256 by osslsigncode, when
# a code-signing certificate is given; without one it leaves them as they are:
#   TIMERSET_SIGN_PKCS12     the certificate with its private key, a PKCS#12 file (.p12, .pfx)
#   TIMERSET_SIGN_PASSWORD   its password (none when unset)
#   TIMERSET_SIGN_TIMESTAMP  the URL of an RFC 3161 timestamp server (none when unset)
#   usage: sign.sh FILE.exe...
set -euo pipefail
[ -n "${TIMERSET_SIGN_PKCS12:-}" ] || exit 0
for file; do
  # The password through a pipe: on the command line every process could read it.
  osslsigncode sign -pkcs12 "$TIMERSET_SIGN_PKCS12" -readpass <(printf %s "${TIMERSET_SIGN_PASSWORD:-}") \
    -h sha256 -n タイマセット ${TIMERSET_SIGN_TIMESTAMP:+-ts "$TIMERSET_SIGN_TIMESTAMP"} \
    -in "$file" -out "$file.signed" >/dev/null
  mv "$file.signed" "$file"
done
