#!/usr/bin/env bash
# `make demo`: a complete firmware update of a simulated Dovrex embosser in the
# real Reflasher.exe (the build carrying the synthetic image), under Wine.
#
# Installs missing packages, builds the Windows tree, and in a private Wine
# prefix installs the simulated embosser as printer "Dovrex Embosser" on USB001
# (its port's jobs go to the embosser bridge, which answers through the
# printer's status string). Then:
#   - with a DISPLAY, the window appears there: press Start Download yourself;
#     each status line, bar position and message is also told here;
#   - without one, it runs on a private Xvfb, presses Start Download itself,
#     tells the same, closes the final message, and saves screenshots.
# Everything it leaves (screenshots, bridge log, the firmware as the embosser
# received it) is in build/<tree>/demo/ (win32, or win64 on hosts that can't
# run 32-bit code).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
printer="Dovrex Embosser"
port=USB001

tools/install-deps.sh
# The i686 program where this host runs 32-bit code, else the x86_64 one.
tree=$(tools/wine-trees.sh --one) || exit 1
build=$root/build/$tree
out=$build/demo
echo "demo: building the Windows tree (build/$tree)"
tools/configure.sh "$tree"
cmake --build --preset "$tree" -j "$(nproc)" >/dev/null

program=$build/variants/embedded/Reflasher.exe
bridge=$build/sim/win32/embosser-bridge.exe
pilot=$build/tests/wine/e2e/demo-pilot.exe
image=$build/firmware/dovrex-synthetic.hex
for f in "$program" "$bridge" "$pilot" "$image"; do
    [ -f "$f" ] || { echo "demo: $f was not built" >&2; exit 1; }
done

headless=0
[ -n "${DISPLAY:-}" ] || headless=1

rm -rf "$out"
mkdir -p "$out/jobs" "$out/screenshots"

set +e
# shellcheck source=wine-lib.sh
. tools/wine-lib.sh
wine_session_begin "$build" || { echo "demo: no Wine session" >&2; exit 1; }

if [ $headless -eq 1 ]; then
    echo "demo: no DISPLAY, running headless on Xvfb $DISPLAY"
    # Without a window manager Wine draws the window frames itself.
    wine_unmanaged
fi

echo "demo: installing the simulated embosser as \"$printer\" on $port"
wine_install_printer "$printer" "$port" "Quillmar Dovrex" || { echo "demo: printer not installed" >&2; exit 1; }
wine_map_port "$port" "$(wine_sink_command "$out/jobs")" || { echo "demo: port not mapped" >&2; exit 1; }
wine_start "$bridge" --printer "$printer" --jobs "$out/jobs" --log "$out/bridge.log" \
    --firmware-out "$out/firmware-received.hex" >/dev/null 2>&1
for _ in $(seq 300); do
    grep -q 'status F:' "$out/bridge.log" 2>/dev/null && break
    sleep 0.1
done
grep -q 'status F:' "$out/bridge.log" 2>/dev/null || { echo "demo: the embosser bridge did not start" >&2; exit 1; }

if [ $headless -eq 1 ]; then
    wine_session_helper tools/answer-screenshots.sh "$out/screenshots"
    wine_run "$pilot" --program "$program" --press-start --shots "$out/screenshots"
    rc=$?
else
    echo "demo: the window opens on $DISPLAY"
    wine_run "$pilot" --program "$program"
    rc=$?
fi

echo
if [ -f "$out/firmware-received.hex" ]; then
    if cmp -s "$out/firmware-received.hex" "$image"; then
        echo "demo: the embosser received the embedded image byte for byte ($(stat -c %s "$image") bytes)"
    else
        echo "demo: the embosser received something other than the embedded image"
        rc=1
    fi
fi
echo "demo: the embosser's log: $out/bridge.log"
if [ $headless -eq 1 ]; then
    echo "demo: screenshots in $out/screenshots/"
    ls "$out/screenshots"/*.png 2>/dev/null | sed 's/^/  /'
fi
exit $rc
