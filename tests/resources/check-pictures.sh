#!/usr/bin/env bash
# Checks the committed pictures: the generator still makes them byte for byte,
# `file` and `identify` see the sizes, depths and compression the program needs,
# and an independent reader (ImageMagick) decodes them to the pixels drawn.
# usage: check-pictures.sh <reflasher-art> <resources folder>
set -uo pipefail

art=$1
resources=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() {  # expect <what> <actual> <wanted>
    [ "$2" = "$3" ] || fail "$1: got '$2', want '$3'"
}

pictures=(busy-1.bmp busy-2.bmp busy-3.bmp busy-4.bmp logo.bmp Reflasher.ico)
# The larger scales' sets, with the sizes each is drawn at.
declare -A busy_size=([125]=66x89 [150]=80x107 [175]=93x124 [200]=106x142)
declare -A logo_size=([125]=120x86 [150]=144x104 [175]=168x121 [200]=192x138)
for p in 125 150 175 200; do
    pictures+=(busy-1-$p.bmp busy-2-$p.bmp busy-3-$p.bmp busy-4-$p.bmp logo-$p.bmp)
done

mkdir "$work/made" "$work/reference"
"$art" "$work/made" >/dev/null || fail "generator failed"
"$art" --reference "$work/reference" >/dev/null || fail "generator failed (reference pixels)"
for f in "${pictures[@]}"; do
    cmp -s "$work/made/$f" "$resources/$f" || fail "$f differs from what tools/art draws (run: make art)"
done
made=$(cd "$work/made" && ls | sort | tr '\n' ' ')
expect "generated files" "$made" "$(printf '%s\n' "${pictures[@]}" | sort | tr '\n' ' ')"

# --- file(1)
for i in 1 2 3 4; do
    out=$(file -b "$resources/busy-$i.bmp")
    [[ $out == "PC bitmap, Windows 3.x format, 53 x 71 x 24, image size"* ]] || fail "busy-$i.bmp: $out"
    [[ $out != *compression* ]] || fail "busy-$i.bmp is compressed: $out"
done
out=$(file -b "$resources/logo.bmp")
[[ $out == "PC bitmap, Windows 3.x format, 96 x 69 x 8, 1 compression,"* ]] || fail "logo.bmp: $out"
out=$(file -b "$resources/Reflasher.ico")
[[ $out == "MS Windows icon resource - 9 icons, 16x16, 16 colors, 4 bits/pixel, 32x32, 16 colors, 4 bits/pixel" ]] \
    || fail "Reflasher.ico: $out"

# --- identify(1)
for i in 1 2 3 4; do
    expect "identify busy-$i.bmp" "$(identify -format '%m %wx%h %C %r' "$resources/busy-$i.bmp")" \
        "BMP3 53x71 None DirectClass sRGB "
done
expect "identify logo.bmp" "$(identify -format '%m %wx%h %C %r' "$resources/logo.bmp")" \
    "BMP3 96x69 RLE PseudoClass sRGB "
# Sizes and colour depth per image, in directory order; the 32-bit images are PNGs.
expect "identify Reflasher.ico" "$(identify -format '%m:%wx%h:%z ' "$resources/Reflasher.ico")" \
    "ICO:16x16:4 ICO:32x32:4 ICO:48x48:8 ICO:32x32:8 ICO:16x16:8 PNG:256x256:8 PNG:48x48:8 PNG:32x32:8 PNG:16x16:8 "
# identify gives channel depth, not bits per pixel: read those from the icon directory.
bits=$(for n in 0 1 2 3 4 5 6 7 8; do
    od -An -tu2 -j $((6 + 16 * n + 6)) -N2 "$resources/Reflasher.ico" | tr -d ' '
done | tr '\n' ' ')
expect "icon bits per pixel" "$bits" "4 4 8 8 8 32 32 32 32 "

# --- pixels, decoded by ImageMagick
for i in 1 2 3 4; do
    convert "$resources/busy-$i.bmp" -depth 8 "rgb:$work/busy-$i.rgb"
    cmp -s "$work/busy-$i.rgb" "$work/reference/busy-$i.rgb" || fail "busy-$i.bmp decodes to other pixels"
done
for a in 1 2 3; do
    for b in $(seq $((a + 1)) 4); do
        cmp -s "$work/reference/busy-$a.rgb" "$work/reference/busy-$b.rgb" && fail "frames $a and $b are the same"
    done
done
convert "$resources/logo.bmp" -depth 8 "rgb:$work/logo.rgb"
cmp -s "$work/logo.rgb" "$work/reference/logo.rgb" || fail "logo.bmp decodes to other pixels"
for n in 0 1 2 3 4 5 6 7 8; do
    convert "$resources/Reflasher.ico[$n]" -depth 8 "rgba:$work/icon-$n.rgba"
    cmp -s "$work/icon-$n.rgba" "$work/reference/icon-$n.rgba" || fail "icon image $n decodes to other pixels"
done

# --- the larger scales: 8-bit RLE, the sizes drawn, the pixels drawn, the logo keyed on cyan
for p in 125 150 175 200; do
    for i in 1 2 3 4; do
        expect "identify busy-$i-$p.bmp" "$(identify -format '%m %wx%h %C' "$resources/busy-$i-$p.bmp")" \
            "BMP3 ${busy_size[$p]} RLE"
        convert "$resources/busy-$i-$p.bmp" -depth 8 "rgb:$work/busy-$i-$p.rgb"
        cmp -s "$work/busy-$i-$p.rgb" "$work/reference/busy-$i-$p.rgb" || fail "busy-$i-$p.bmp decodes to other pixels"
    done
    expect "identify logo-$p.bmp" "$(identify -format '%m %wx%h %C' "$resources/logo-$p.bmp")" "BMP3 ${logo_size[$p]} RLE"
    convert "$resources/logo-$p.bmp" -depth 8 "rgb:$work/logo-$p.rgb"
    cmp -s "$work/logo-$p.rgb" "$work/reference/logo-$p.rgb" || fail "logo-$p.bmp decodes to other pixels"
    expect "logo-$p corner" "$(convert "$resources/logo-$p.bmp" -format '%[pixel:p{0,0}]' info:)" "srgb(0,255,255)"
done

# --- what the dialog relies on in the logo: a cyan surround, and colours a
# wrong transparency key would hide (near-cyan display, yellow button).
pixel() { convert "$resources/logo.bmp" -format "%[pixel:p{$1}]" info:; }
expect "logo corner" "$(pixel 0,0)" "srgb(0,255,255)"
expect "logo display" "$(pixel 70,45)" "srgb(0,240,255)"
expect "logo button" "$(pixel 66,55)" "srgb(255,255,0)"
colours=$(identify -format '%k' "$resources/logo.bmp")
[ "$colours" -ge 8 ] && [ "$colours" -le 256 ] || fail "logo has $colours colours"

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "pictures: all checks passed"
