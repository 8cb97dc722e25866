#!/usr/bin/env bash
# Signs a built setup.exe with a vendor's code-signing certificate (Authenticode, SHA-256).
#   tools/sign-setup.sh <setup.exe> <certificate.p12> [--password-file F] [--timestamp URL]
# The password comes from the file given, else from SETUP_SIGN_PASSWORD, else it is empty;
# it never appears on a command line. Without --timestamp the signature carries no time
# stamp and stops verifying once the certificate expires. The file is replaced only when
# the signing succeeded. Needs osslsigncode (Debian package osslsigncode).
set -euo pipefail

usage() { echo "usage: tools/sign-setup.sh <setup.exe> <certificate.p12> [--password-file F] [--timestamp URL]" >&2; exit 2; }
[ $# -ge 2 ] || usage
exe=$1 cert=$2
shift 2
password_file="" timestamp=""
while [ $# -gt 0 ]; do
  case "$1" in
    --password-file) password_file=$2; shift 2 ;;
    --timestamp) timestamp=$2; shift 2 ;;
    *) usage ;;
  esac
done
[ -f "$exe" ] || { echo "sign-setup: $exe is missing" >&2; exit 1; }
[ -f "$cert" ] || { echo "sign-setup: $cert is missing" >&2; exit 1; }
command -v osslsigncode >/dev/null || { echo "sign-setup: osslsigncode is missing (apt-get install osslsigncode)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -z "$password_file" ]; then
  password_file=$work/password
  (umask 077; printf '%s' "${SETUP_SIGN_PASSWORD:-}" > "$password_file")
fi
args=(sign -pkcs12 "$cert" -readpass "$password_file" -h sha256 -in "$exe" -out "$work/signed.exe")
[ -z "$timestamp" ] || args+=(-ts "$timestamp")
osslsigncode "${args[@]}" >/dev/null
mv "$work/signed.exe" "$exe"
echo "Signed $exe"
