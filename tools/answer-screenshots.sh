#!/usr/bin/env bash
# Takes screenshots for Windows programs under Wine, which can't run ImageMagick
# themselves: for each <name>.request that appears in <folder>, writes a picture
# of the whole display ($DISPLAY) as <name>.png, then removes the request. The
# picture is complete before its name appears. Runs until killed.
#   answer-screenshots.sh <folder>
set -u
dir=${1:?usage: answer-screenshots.sh <folder>}
mkdir -p "$dir"
while :; do
    for request in "$dir"/*.request; do
        [ -e "$request" ] || continue
        name=$(basename "$request" .request)
        if import -window root "png:$dir/.$name.partial" 2>"$dir/.$name.log"; then
            mv -f "$dir/.$name.partial" "$dir/$name.png"
        else
            echo "answer-screenshots: $name failed: $(cat "$dir/.$name.log")" >&2
        fi
        rm -f "$request" "$dir/.$name.log"
    done
    sleep 0.1
done
