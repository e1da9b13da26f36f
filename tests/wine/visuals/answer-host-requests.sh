#!/usr/bin/env bash
# The host side of the visual and keyboard checks, for a Windows driver under
# Wine that can run neither xdotool nor ImageMagick: it answers the requests the
# driver leaves in <folder> (files, so both sides need nothing but a shared disk).
#   <name>.keys   one xdotool key name per line: pressed in turn on the real
#                 keyboard of $DISPLAY (XTEST), then the request is removed.
#   <name>.crop   "x y width height milliseconds": pictures of that part of the
#                 screen, raw 8-bit RGB, as fast as they come for that long (once
#                 for 0), into <name>.crops/<n>_<start>_<end>.rgb with the host's
#                 clock in microseconds; then <name>.done appears.
# Runs until killed:  answer-host-requests.sh <folder>
set -u
dir=${1:?usage: answer-host-requests.sh <folder>}
mkdir -p "$dir"
# Crops under way end with the responder.
trap 'kill $(jobs -p) 2>/dev/null; exit 0' TERM INT

now_us() { local t=${EPOCHREALTIME/./}; echo "$t"; }

take_crops() {
    local name=$1 x y w h ms out n=0 start end until
    read -r x y w h ms <"$dir/$name.crop.taken" || { touch "$dir/$name.done"; return; }
    out="$dir/$name.crops"
    rm -rf "$out"
    mkdir -p "$out"
    until=$(( $(now_us) + ms * 1000 ))
    while :; do
        start=$(now_us)
        if import -window root -crop "${w}x${h}+${x}+${y}" -depth 8 "rgb:$out/.partial" 2>>"$dir/$name.crop.log"; then
            end=$(now_us)
            mv -f "$out/.partial" "$out/$(printf '%05d' "$n")_${start}_${end}.rgb"
            n=$((n + 1))
        fi
        [ "$(now_us)" -lt "$until" ] || break
    done
    rm -f "$dir/$name.crop.taken"
    touch "$dir/$name.done"
}

while :; do
    for request in "$dir"/*.keys "$dir"/*.crop; do
        [ -e "$request" ] || continue
        case $request in
        *.keys)
            while read -r key; do
                [ -n "$key" ] && xdotool key --clearmodifiers "$key"
            done <"$request"
            rm -f "$request"
            ;;
        *.crop)
            name=$(basename "$request" .crop)
            mv -f "$request" "$dir/$name.crop.taken"
            take_crops "$name" &
            ;;
        esac
    done
    sleep 0.02
done
