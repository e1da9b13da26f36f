#!/usr/bin/env bash
# tools/sign.sh on a dist/ of two tiny programs, with a throwaway CA and key:
# signatures that verify, a flipped byte that fails, a .sig on a fresh build that
# gives the signed bytes, the refusals, no password in any output, and (where
# SoftHSM2 and OpenSSL's PKCS#11 engine are installed) a key on a token.
set -u
here=$(cd "$(dirname "$0")" && pwd)
sign=$here/../../tools/sign.sh
for tool in osslsigncode openssl x86_64-w64-mingw32-gcc; do
    command -v $tool >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
# shellcheck source=check.sh
. "$here/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# The same sources give the same bytes (no time stamp), as make release does.
build() {  # build <exit code> <out>
    echo "int main(void) { return $1; }" | x86_64-w64-mingw32-gcc -Os -s -Wl,--no-insert-timestamp -x c - -o "$2"
}
fresh_dist() {
    rm -rf dist && mkdir -p dist/x86 dist/x64
    build 0 dist/x86/Reflasher.exe && build 1 dist/x64/Reflasher.exe
    (cd dist && sha256sum x86/Reflasher.exe x64/Reflasher.exe >SHA256SUMS)
}
{
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Throwaway CA" \
        -addext basicConstraints=critical,CA:true -addext keyUsage=critical,keyCertSign
    openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Throwaway signer"
    printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
    openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
        -extfile signer.ext -out signer.pem
    password=pw-$RANDOM$RANDOM-not-for-output
    echo "$password" >pass.txt
    openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout file:pass.txt -out key.p12
} >openssl.log 2>&1 || { cat openssl.log; exit 1; }

p12=(SIGN_PKCS12=key.p12 SIGN_PASSWORD_FILE=pass.txt SIGN_URL=https://example.org/reflasher)
signs() { env "$@" "$sign" "$work/dist" >last 2>&1; local rc=$?; cat last >>out; return $rc; }
refused() { local rc=$1; shift; [ "$rc" -ne 0 ] && "$@"; }  # refused <rc> <then this holds>
says() { grep -q "$1" last; }
not() { ! "$@"; }
verifies() { osslsigncode verify -CAfile ca.pem -in "$1" >verify.log 2>&1; }
unchanged() { (cd dist && sha256sum --quiet -c SHA256SUMS) && [ ! -e dist/SHA256SUMS.unsigned ] &&
              [ -z "$(find dist -name '*.sig' -o -name '.signing*')" ]; }

fresh_dist
cp dist/SHA256SUMS unsigned-sums
signs "${p12[@]}"
check "signed from the PKCS#12 file" [ $? -eq 0 ]
check "  each program verifies against the CA" verifies dist/x86/Reflasher.exe
check "  (x64 too)" verifies dist/x64/Reflasher.exe
check "  with SHA-256, the program's name and the URL" \
    grep -qz 'SHA256.*URL description: https://example.org/reflasher.*Text description: Dovrex Reflasher' verify.log
check "  the unsigned sums are kept" cmp -s unsigned-sums dist/SHA256SUMS.unsigned
check "  the fresh sums are for the signed programs" sh -c 'cd dist && sha256sum --quiet -c SHA256SUMS && ! cmp -s SHA256SUMS SHA256SUMS.unsigned'
cp dist/x86/Reflasher.exe flipped.exe
printf '\001' | dd of=flipped.exe bs=1 seek=1100 conv=notrunc status=none
verifies flipped.exe
check "a flipped byte fails the verification" [ $? -ne 0 ]
build 0 rebuilt.exe
osslsigncode attach-signature -sigin dist/x86/Reflasher.exe.sig -CAfile ca.pem -in rebuilt.exe -out attached.exe >/dev/null 2>&1
check "the .sig on a fresh unsigned build gives the signed bytes" cmp -s attached.exe dist/x86/Reflasher.exe
signs "${p12[@]}"
check "a signed dist/ is refused, saying so" refused $? says 'signed already'
check "  its sums stay" sh -c 'cd dist && sha256sum --quiet -c SHA256SUMS && cmp -s SHA256SUMS.unsigned ../unsigned-sums'

rm -rf dist
signs "${p12[@]}"
check "no dist/: refused, saying so" refused $? says 'run make release first'
fresh_dist
signs
check "no key: refused, saying which" refused $? says 'no key given: SIGN_PKCS12='
echo wrong >wrong.txt
signs SIGN_PKCS12=key.p12 SIGN_PASSWORD_FILE=wrong.txt
check "a wrong password: refused, dist/ as it was" refused $? unchanged
build 2 dist/x64/Reflasher.exe
signs "${p12[@]}"
check "a program that differs from SHA256SUMS: refused" refused $? says 'differ from its SHA256SUMS'
check "the password appears in no output" not grep -qF "$password" out

module=$(find /usr/lib -name libsofthsm2.so 2>/dev/null | head -n 1)
engine=$(find /usr/lib -path '*/engines-*/pkcs11.so' 2>/dev/null | head -n 1)
if command -v softhsm2-util >/dev/null && [ -n "$module" ] && [ -n "$engine" ]; then
    mkdir hsm && printf 'directories.tokendir = %s/hsm\n' "$work" >hsm.conf
    export SOFTHSM2_CONF=$work/hsm.conf
    echo 2468 >pin.txt
    openssl pkcs8 -topk8 -nocrypt -in signer.key -out signer.p8
    { softhsm2-util --init-token --free --label release --pin 2468 --so-pin 13579 &&
      softhsm2-util --import signer.p8 --token release --label signer --id 01 --pin 2468; } >hsm.log 2>&1
    cat signer.pem ca.pem >chain.pem
    fresh_dist
    signs SIGN_PKCS11_MODULE="$module" SIGN_PKCS11_KEY='pkcs11:token=release;object=signer;type=private' \
        SIGN_CERT=chain.pem SIGN_PASSWORD_FILE=pin.txt
    check "signed from a key on a PKCS#11 token (SoftHSM2)" verifies dist/x86/Reflasher.exe
else
    echo "skip signing from a PKCS#11 token: needs softhsm2 and libengine-pkcs11-openssl"
fi

[ $failures -eq 0 ] || { echo "--- output of the signing runs:"; cat out; }
exit $failures
