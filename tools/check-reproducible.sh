#!/usr/bin/env bash
# Checks that the release is reproducible: clones the committed sources twice,
# into folders of different names and depths, runs `make release` in each (with
# an image, each from its own copy at a different path) and compares the two
# dist/SHA256SUMS. Takes a few minutes, so it is not part of `make test`.
#   check-reproducible.sh [--signed dist-folder] [image.hex]
# With --signed, a whole dist/ as `make sign` left it (a release as published):
# its SHA256SUMS.unsigned must be what the clones built, and each program's .sig
# attached to the rebuilt program must give that signed program, byte for byte.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
signed=
if [ $# -gt 0 ] && [ "$1" = --signed ]; then
    [ -f "${2:-}/SHA256SUMS.unsigned" ] ||
        { echo "check-reproducible: --signed needs a signed dist/ (with SHA256SUMS.unsigned)" >&2; exit 2; }
    command -v osslsigncode >/dev/null ||
        { echo "check-reproducible: osslsigncode not found (make deps installs it)" >&2; exit 2; }
    signed=$(realpath "$2")
    shift 2
fi
firmware=
if [ $# -gt 0 ]; then firmware=$(realpath "$1"); fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for clone in a/x bb/second; do
    git clone -q "$root" "$work/$clone"
    args=("JOBS=${JOBS:-$(nproc)}")
    if [ -n "$firmware" ]; then
        cp "$firmware" "$work/$clone-image.hex"
        args+=("FIRMWARE=$work/$clone-image.hex")
    fi
    echo "== make release in $work/$clone"
    if ! make -C "$work/$clone" release "${args[@]}" >"$work/$clone.log" 2>&1; then
        tail -n 30 "$work/$clone.log" >&2
        exit 1
    fi
done

if cmp -s "$work/a/x/dist/SHA256SUMS" "$work/bb/second/dist/SHA256SUMS"; then
    cat "$work/a/x/dist/SHA256SUMS"
    echo "reproducible: both clones built the same bytes"
else
    diff "$work/a/x/dist/SHA256SUMS" "$work/bb/second/dist/SHA256SUMS" >&2 || true
    echo "NOT reproducible: the clones differ (cmp -l the programs, objdump -x to name the fields)" >&2
    exit 1
fi

[ -n "$signed" ] || exit 0
built=$work/a/x/dist
if ! cmp -s "$built/SHA256SUMS" "$signed/SHA256SUMS.unsigned"; then
    diff "$signed/SHA256SUMS.unsigned" "$built/SHA256SUMS" >&2 || true
    echo "NOT the release: the unsigned programs built here differ from $signed/SHA256SUMS.unsigned" >&2
    exit 1
fi
(cd "$signed" && sha256sum --quiet -c SHA256SUMS) ||
    { echo "$signed/SHA256SUMS does not match its signed programs" >&2; exit 1; }
mapfile -t programs < <(sed 's/^[0-9a-f]*  \*\{0,1\}//' "$signed/SHA256SUMS.unsigned")
for program in "${programs[@]}"; do
    # attach-signature also checks the chain against this host's store, which holds no
    # code-signing roots; whether the signature is trusted is Windows' question, ours the bytes.
    osslsigncode attach-signature -sigin "$signed/$program.sig" -in "$built/$program" \
        -out "$work/attached.exe" >"$work/attach.log" 2>&1 || true
    if ! cmp -s "$work/attached.exe" "$signed/$program"; then
        cat "$work/attach.log" >&2
        echo "NOT the release: $program.sig attached to the rebuilt $program does not give $signed/$program" >&2
        exit 1
    fi
    rm -f "$work/attached.exe"
    echo "signed $program: the rebuilt program with $program.sig is the signed one, byte for byte"
done
