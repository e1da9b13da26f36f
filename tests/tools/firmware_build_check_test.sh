#!/usr/bin/env bash
# A build that embeds a firmware image must fail, with the fault and its line,
# when the image is broken. Builds the image check in a tiny project of its own
# (seconds, not the whole program), once as a native and once as a cross build,
# where the check is compiled with the host's compiler as in the Windows trees.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

header='SV16000000005175696C6C6D61723A3030393030303030DF'
data='S32502000000A1FACDA2C36FF4FA941408AA96ABFE962719A01C15365B04B43D61D0739CD0399F'
printf '%s\r\n%s\r\n%s\r\n' "$header" "$data" 'SP0500000000FA' >"$work/good.hex"
# The same with the last digit of line 2's checksum changed.
printf '%s\r\n%s\r\n%s\r\n' "$header" "${data%F}E" 'SP0500000000FA' >"$work/broken.hex"

mkdir -p "$work/project"
cat >"$work/project/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(ImageCheckProbe CXX)
set(CMAKE_CXX_STANDARD 17)
add_subdirectory($source_dir/firmware firmware)
reflasher_check_firmware_image(image_check \${IMAGE})
CMAKE

failed=0
# CMAKE_SYSTEM_NAME given makes CMake treat the build as a cross build.
for kind in native cross; do
    build=$work/build-$kind
    extra=()
    [ "$kind" = cross ] && extra=(-DCMAKE_SYSTEM_NAME=Linux)
    cmake -S "$work/project" -B "$build" "${extra[@]}" -DIMAGE="$work/good.hex" >/dev/null
    if ! cmake --build "$build" --target image_check >"$work/good.log" 2>&1; then
        echo "$kind: the good image was refused:"; cat "$work/good.log"; failed=1; continue
    fi
    cmake -S "$work/project" -B "$build" -DIMAGE="$work/broken.hex" >/dev/null
    if cmake --build "$build" --target image_check >"$work/broken.log" 2>&1; then
        echo "$kind: the broken image was let through"; failed=1; continue
    fi
    if ! grep -qF "The checksum of line 2 is wrong." "$work/broken.log"; then
        echo "$kind: the build failed without naming the fault and its line:"; cat "$work/broken.log"
        failed=1; continue
    fi
    echo "$kind: $(grep -F 'line 2' "$work/broken.log")"
done
exit $failed
