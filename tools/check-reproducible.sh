#!/usr/bin/env bash
# Checks that the release is reproducible: clones the committed sources twice,
# into folders of different names and depths, runs `make release` in each (with
# an image, each from its own copy at a different path) and compares the two
# dist/SHA256SUMS. Takes a few minutes, so it is not part of `make test`.
#   check-reproducible.sh [image.hex]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
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
