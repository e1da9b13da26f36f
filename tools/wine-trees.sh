#!/usr/bin/env bash
# Which Windows tree(s) this host can test under Wine: prints the preset names
# (win32 for the i686 tree, win64 for the x86_64 one) on stdout and one line
# saying why on stderr.
#   wine-trees.sh          every tree the host can run
#   wine-trees.sh --one    the one to show (the demo): win32 when it can run
# REFLASHER_WINE_ARCH=i686|x86_64|both forces the choice.
#
# Some hosts refuse every 32-bit x86 Linux program ("Exec format error"), and
# Wine's 32-bit support needs its i386 loader; so the loaders are asked directly.
set -u
loaders=${WINE_LOADER_DIR:-/usr/lib/wine}

runs() { "$loaders/$1" --version >/dev/null 2>&1; }

case ${REFLASHER_WINE_ARCH:-} in
    i686) trees=(win32) why="REFLASHER_WINE_ARCH=i686" ;;
    x86_64) trees=(win64) why="REFLASHER_WINE_ARCH=x86_64" ;;
    both) trees=(win32 win64) why="REFLASHER_WINE_ARCH=both" ;;
    '')
        can32=0 can64=0
        runs wine && can32=1
        runs wine64 && can64=1
        if [ $can32 = 1 ] && [ $can64 = 1 ]; then
            trees=(win32 win64) why="this host runs both 32-bit and 64-bit Wine"
        elif [ $can32 = 1 ]; then
            trees=(win32) why="this host runs 32-bit Wine only (no working $loaders/wine64)"
        elif [ $can64 = 1 ]; then
            trees=(win64) why="this host can't execute i386 programs ($loaders/wine fails), so the x86_64 tree stands in"
        else
            echo "wine-trees: neither $loaders/wine nor $loaders/wine64 runs here (make deps installs Wine)" >&2
            exit 1
        fi
        ;;
    *)
        echo "wine-trees: REFLASHER_WINE_ARCH must be i686, x86_64 or both, not '$REFLASHER_WINE_ARCH'" >&2
        exit 2
        ;;
esac

if [ "${1:-}" = --one ]; then
    echo "${trees[0]}"
    echo "Windows tree shown: ${trees[0]} ($why)" >&2
else
    echo "${trees[*]}"
    echo "Windows tier on: ${trees[*]} ($why)" >&2
fi
