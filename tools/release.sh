#!/usr/bin/env bash
# Builds the programs we hand out into dist/, with their checksums.
#   release.sh [image.hex]
# dist/x86/Reflasher.exe (i686, the program we ship) and dist/x64/Reflasher.exe,
# both in file mode; with an image also dist/x86-embedded/ and dist/x64-embedded/,
# the builds that carry it. dist/SHA256SUMS is for `sha256sum -c` inside dist/.
# Each architecture has its own tree (build/release-x86, build/release-x64), apart
# from the test trees, and only the programs are built there.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
firmware=
if [ $# -gt 0 ] && [ -n "$1" ]; then
    [ -f "$1" ] || { echo "release: no firmware image at $1" >&2; exit 1; }
    firmware=$(realpath "$1")
fi

cd "$root"
# Everything goes to dist.partial first and becomes dist/ only once every program
# is built: a failed build (a broken image among them) leaves no dist/ at all.
stage=dist.partial
rm -rf dist "$stage"
trap 'rm -rf "$root/$stage"' EXIT
sums=()
for arch in x86 x64; do
    preset=release-$arch
    # Always given, so that a tree configured with an image earlier forgets it.
    tools/configure.sh "$preset" -DREFLASHER_FIRMWARE="$firmware"
    targets=(Reflasher_filemode)
    [ -n "$firmware" ] && targets+=(Reflasher)
    cmake --build --preset "$preset" -j "$jobs" --target "${targets[@]}"
    install -D -m 755 "build/$preset/variants/filemode/Reflasher.exe" "$stage/$arch/Reflasher.exe"
    sums+=("$arch/Reflasher.exe")
    if [ -n "$firmware" ]; then
        install -D -m 755 "build/$preset/app/Reflasher.exe" "$stage/$arch-embedded/Reflasher.exe"
        sums+=("$arch-embedded/Reflasher.exe")
    fi
done
(cd "$stage" && sha256sum "${sums[@]}" >SHA256SUMS)
mv "$stage" dist
echo "== dist/SHA256SUMS"
cat dist/SHA256SUMS
