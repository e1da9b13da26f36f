#!/usr/bin/env bash
# Signs the programs `make release` wrote, in place (Authenticode, SHA-256).
#   sign.sh [dist-folder]            (default: dist/)
# The key, one way or the other:
#   SIGN_PKCS12=key.p12 [SIGN_PASSWORD_FILE=pass.txt]
#   SIGN_PKCS11_MODULE=module.so SIGN_PKCS11_KEY=<key id or pkcs11: URI> SIGN_CERT=chain.pem
#       [SIGN_PASSWORD_FILE=pin.txt]
# Optional: SIGN_URL (carried in the signature), SIGN_TIMESTAMP_URL (RFC 3161 server).
# Writes beside each program listed in SHA256SUMS its detached signature
# (<program>.sig), keeps the unsigned sums as SHA256SUMS.unsigned and writes
# SHA256SUMS afresh for the signed programs. A folder signed before is refused:
# sign a fresh `make release`.
# The password and the key never reach a command line or the output: osslsigncode
# reads the password from its file, and its output is shown only when it fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:-$root/dist}
fail() { echo "sign: $*" >&2; exit 1; }

command -v osslsigncode >/dev/null ||
    fail "osslsigncode not found (apt-get install osslsigncode; make deps installs it)"
[ -d "$dist" ] || fail "no $dist to sign: run make release first"
[ -f "$dist/SHA256SUMS" ] || fail "no $dist/SHA256SUMS: run make release first"
dist=$(cd "$dist" && pwd)

key=()
if [ -n "${SIGN_PKCS12:-}" ]; then
    [ -z "${SIGN_PKCS11_MODULE:-}" ] || fail "give SIGN_PKCS12 or SIGN_PKCS11_MODULE, not both"
    [ -f "$SIGN_PKCS12" ] || fail "SIGN_PKCS12: no file at $SIGN_PKCS12"
    key=(-pkcs12 "$(realpath "$SIGN_PKCS12")")
elif [ -n "${SIGN_PKCS11_MODULE:-}" ]; then
    [ -f "$SIGN_PKCS11_MODULE" ] || fail "SIGN_PKCS11_MODULE: no file at $SIGN_PKCS11_MODULE"
    [ -n "${SIGN_PKCS11_KEY:-}" ] || fail "SIGN_PKCS11_KEY is missing: which key on the token"
    [ -f "${SIGN_CERT:-}" ] ||
        fail "SIGN_CERT is missing: the certificate chain (PEM) of the token's key"
    key=(-pkcs11module "$(realpath "$SIGN_PKCS11_MODULE")" -key "$SIGN_PKCS11_KEY"
         -certs "$(realpath "$SIGN_CERT")")
else
    fail "no key given: SIGN_PKCS12=key.p12 SIGN_PASSWORD_FILE=pass.txt, or" \
         "SIGN_PKCS11_MODULE=module.so SIGN_PKCS11_KEY=id SIGN_CERT=chain.pem"
fi
if [ -n "${SIGN_PASSWORD_FILE:-}" ]; then
    [ -r "$SIGN_PASSWORD_FILE" ] || fail "SIGN_PASSWORD_FILE: cannot read $SIGN_PASSWORD_FILE"
    key+=(-readpass "$(realpath "$SIGN_PASSWORD_FILE")")
fi

# The name the version resource gives the program, so that Windows shows the same.
name=$(sed -n 's/.*VALUE "ProductName", "\(.*\)".*/\1/p' "$root/resources/Reflasher.rc")
options=(-h sha256 -n "${name:-Reflasher}")
[ -z "${SIGN_URL:-}" ] || options+=(-i "$SIGN_URL")
[ -z "${SIGN_TIMESTAMP_URL:-}" ] || options+=(-ts "$SIGN_TIMESTAMP_URL")

# Everything is made in a folder of its own and moved into place only when every
# program is signed, so that a wrong password or a failing token leaves dist/ as it was.
work=$(mktemp -d "$dist/.signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
run() {  # run <what> <osslsigncode args...>: quiet unless it fails
    if ! osslsigncode "${@:2}" >"$work/log" 2>&1; then
        cat "$work/log" >&2
        fail "$1 failed"
    fi
}

cd "$dist"
# Signing a signed program would replace its signature and lose the unsigned sums;
# removing a signature does not always give the unsigned bytes back either.
[ ! -f SHA256SUMS.unsigned ] ||
    fail "$dist is signed already (SHA256SUMS.unsigned is there): make release again to sign afresh"
mapfile -t programs < <(sed 's/^[0-9a-f]*  \*\{0,1\}//' SHA256SUMS)
[ ${#programs[@]} -gt 0 ] || fail "$dist/SHA256SUMS lists no program"
for program in "${programs[@]}"; do
    case /$program/ in //* | */../*) fail "SHA256SUMS names $program, outside $dist" ;; esac
done
# Only what make release built gets signed.
sha256sum --quiet -c SHA256SUMS >&2 ||
    fail "the programs in $dist differ from its SHA256SUMS: run make release again"
for program in "${programs[@]}"; do
    if osslsigncode extract-signature -in "$program" -out "$work/old.sig" >/dev/null 2>&1; then
        fail "$program is signed already: make release again to sign afresh"
    fi
done

for program in "${programs[@]}"; do
    signed=$work/signed/$program
    mkdir -p "$(dirname "$signed")"
    run "signing $program" sign "${key[@]}" "${options[@]}" -in "$program" -out "$signed"
    run "extracting the signature of $program" extract-signature -in "$signed" -out "$signed.sig"
    # The promise of the detached signature: it and the unsigned bytes give the signed ones.
    # (attach-signature also checks the chain against the host's store, which may not hold our
    # root; the bytes are what counts here.)
    osslsigncode attach-signature -sigin "$signed.sig" -in "$program" \
        -out "$work/attached.exe" >/dev/null 2>&1 || true
    cmp -s "$work/attached.exe" "$signed" ||
        fail "$program.sig attached to the unsigned program does not give the signed one"
    rm -f "$work/attached.exe"
    chmod --reference="$program" "$signed"
    echo "signed $program"
done

cp SHA256SUMS SHA256SUMS.unsigned
for program in "${programs[@]}"; do
    mv -f "$work/signed/$program" "$program"
    mv -f "$work/signed/$program.sig" "$program.sig"
done
sha256sum "${programs[@]}" >SHA256SUMS
echo "== $dist/SHA256SUMS (signed programs; the unsigned ones in SHA256SUMS.unsigned)"
cat SHA256SUMS
