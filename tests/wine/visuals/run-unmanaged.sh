#!/usr/bin/env bash
# Runs a Windows test program like tools/run-in-wine.sh, with Wine told first
# that no window manager manages its windows (wine_unmanaged), and with
# REFLASHER_WINE_LOGPIXELS set, that the display has that many dpi.
#   run-unmanaged.sh program.exe [arguments...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../../tools/wine-lib.sh
. "$here/../../../tools/wine-lib.sh"

program=${1:?usage: run-unmanaged.sh program.exe [arguments...]}
build=${REFLASHER_WINE_BUILD_DIR:-}
[ -n "$build" ] || build=$(wine_build_dir_of "$program") || { echo "run-unmanaged: no build tree for $program" >&2; exit 2; }

wine_session_begin "$build" || exit 1
wine_unmanaged || exit 1
if [ -n "${REFLASHER_WINE_LOGPIXELS:-}" ]; then
    wine_run reg.exe add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$REFLASHER_WINE_LOGPIXELS" /f >/dev/null 2>&1 || exit 1
fi
wine_run "$@"
rc=$?
wine_session_end
exit $rc
