#!/usr/bin/env bash
# Signs an installer for the updater, which starts an installer only when "<installer>.sig"
# beside it on the site holds the base64 text of the publisher's Ed25519 signature of this
# message (UTF-8, each line ending in a line feed):
#   kamplayer-update-v1
#   version=<the version the settings texts offer it as, their ver>
#   sha256=<the installer's SHA-256, 64 lower-case hex digits>
# so a signed installer cannot be offered as another version.
#
#   scripts/sign-installer.sh KEY.pem INSTALLER VERSION   writes INSTALLER.sig; publish it beside it
#   scripts/sign-installer.sh --public-key KEY.pem        prints the key option's 64 hex digits
#
# Make the key pair once, and keep KEY.pem off the site:
#   openssl genpkey -algorithm ed25519 -out KEY.pem
# then build with its public half:
#   cmake --preset default -DKAM_UPDATE_PUBLIC_KEY="$(scripts/sign-installer.sh --public-key KEY.pem)"
# The key in demo/keys signs the demo site's installer only.
set -euo pipefail

fail() {
  echo "sign-installer.sh: $*" >&2
  exit 1
}
command -v openssl >/dev/null || fail "needs openssl"

# The raw 32-byte key is the tail of its 44-byte DER form.
public_key_hex() {
  openssl pkey -in "$1" -pubout -outform DER | tail -c 32 | od -An -v -tx1 | tr -d ' \n'
}

if [ "${1:-}" = "--public-key" ] && [ $# -eq 2 ]; then
  public_key_hex "$2"
  echo
  exit 0
fi
[ $# -eq 3 ] || fail "usage: sign-installer.sh KEY.pem INSTALLER VERSION | --public-key KEY.pem"
key="$1"
installer="$2"
version="$3"
[ -f "$key" ] || fail "no key file $key"
[ -f "$installer" ] || fail "no installer $installer"
# The version exactly as the settings texts offer it: the updater signs nothing else.
[ -n "$version" ] || fail "VERSION is empty"
case "$version" in
  *$'\n'* | *$'\r'*) fail "VERSION holds a line end" ;;
esac
printf '%s' "$version" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1 || fail "VERSION is not UTF-8 text"
openssl pkey -in "$key" -noout -text 2>/dev/null | grep -q "ED25519 Private-Key" ||
  fail "$key holds no Ed25519 private key"

out="$installer.sig"
tmp="$(mktemp "$out.XXXXXX")"
trap 'rm -f "$tmp" "$tmp.msg" "$tmp.bin" "$tmp.pub"' EXIT
sha256="$(openssl dgst -sha256 -r "$installer" | cut -c1-64)"
[[ "$sha256" =~ ^[0-9a-f]{64}$ ]] || fail "cannot take the SHA-256 of $installer"
printf 'kamplayer-update-v1\nversion=%s\nsha256=%s\n' "$version" "$sha256" >"$tmp.msg"
openssl pkeyutl -sign -rawin -inkey "$key" -in "$tmp.msg" -out "$tmp.bin"
# Checked before it is published, with the public half alone, as the updater will.
openssl pkey -in "$key" -pubout -out "$tmp.pub"
openssl pkeyutl -verify -rawin -pubin -inkey "$tmp.pub" -in "$tmp.msg" -sigfile "$tmp.bin" \
  >/dev/null || fail "the signature does not verify"
base64 -w0 "$tmp.bin" >"$tmp"
echo >>"$tmp"
mv "$tmp" "$out"
echo "sign-installer.sh: $out for version $version, key $(public_key_hex "$key")"
