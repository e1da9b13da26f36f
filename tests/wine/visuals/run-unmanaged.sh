#!/usr/bin/env bash
# Runs a Windows test program like tools/run-in-wine.sh, with Wine told first
# that no window manager manages its windows (wine_unmanaged).
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
wine_run "$@"
rc=$?
wine_session_end
exit $rc
