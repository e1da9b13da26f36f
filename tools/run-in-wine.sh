#!/usr/bin/env bash
# Runs one Windows program under Wine in a private prefix (a copy of the build
# tree's booted base prefix) with its own Xvfb when no DISPLAY is given, cleans
# up after it, and exits with the program's exit code. CTest uses it as the
# cross-compiling emulator: run-in-wine.sh program.exe [arguments...]
#
# The build tree is found from the program's path (nearest CMakeCache.txt);
# REFLASHER_WINE_BUILD_DIR overrides it. REFLASHER_WINE_KEEP=1 keeps the prefix copy.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-lib.sh
. "$here/wine-lib.sh"

if [ $# -lt 1 ]; then
    echo "usage: $0 program.exe [arguments...]" >&2
    exit 2
fi
program=$1
shift
if [ ! -f "$program" ]; then
    echo "run-in-wine: no such program: $program" >&2
    exit 2
fi

build=${REFLASHER_WINE_BUILD_DIR:-}
[ -n "$build" ] || build=$(wine_build_dir_of "$program") || build=$(cd "$(dirname "$program")" && pwd)

wine_session_begin "$build" || exit 1
wine_run "$program" "$@"
rc=$?
wine_session_end
exit $rc
