#!/usr/bin/env bash
# tools/wine-trees.sh with stand-in Wine loaders: which Windows tree(s) a host
# tests, on hosts that run both loaders, only the 64-bit one (no i386), or
# neither, and when REFLASHER_WINE_ARCH forces it.
set -u
here=$(cd "$(dirname "$0")" && pwd)
script=$here/../../tools/wine-trees.sh
# shellcheck source=check.sh
. "$here/check.sh"
# A choice forced for the whole make test must not reach the cases that choose by host.
unset REFLASHER_WINE_ARCH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

loaders() {  # loaders <dir> <wine rc> <wine64 rc>
    mkdir -p "$1"
    printf '#!/bin/sh\nexit %s\n' "$2" >"$1/wine"
    printf '#!/bin/sh\nexit %s\n' "$3" >"$1/wine64"
    chmod +x "$1/wine" "$1/wine64"
}
loaders "$work/both" 0 0
loaders "$work/no-i386" 126 0
loaders "$work/none" 126 126
trees() { WINE_LOADER_DIR=$work/$1 "$script" "${@:2}" 2>"$work/why"; }

check "both loaders run: both trees" [ "$(trees both)" = "win32 win64" ]
check "  the demo shows the i686 one" [ "$(trees both --one)" = win32 ]
check "no i386: the x86_64 tree" [ "$(trees no-i386)" = win64 ]
check "  and it says why" grep -q "can't execute i386" "$work/why"
check "  the demo too" [ "$(trees no-i386 --one)" = win64 ]
trees none >/dev/null
check "neither: an error" [ $? -ne 0 ]
check "forced x86_64 where both run" [ "$(REFLASHER_WINE_ARCH=x86_64 trees both)" = win64 ]
check "forced both" [ "$(REFLASHER_WINE_ARCH=both trees no-i386)" = "win32 win64" ]
REFLASHER_WINE_ARCH=arm64 "$script" >/dev/null 2>&1
check "a wrong forced value is refused" [ $? -eq 2 ]
exit $failures
