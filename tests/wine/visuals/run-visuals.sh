#!/usr/bin/env bash
# Runs one visual or keyboard check: run-visuals.sh <driver.exe> [driver arguments...]
# Like the end-to-end scenarios: a fresh prefix copy and an Xvfb display of its
# own; screenshots are answered by tools/answer-screenshots.sh, key presses and
# fast screen crops by answer-host-requests.sh (both watch the shot folder).
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../../tools/wine-lib.sh
. "$here/../../../tools/wine-lib.sh"

driver=${1:?usage: run-visuals.sh <driver.exe> [arguments...]}
: "${REFLASHER_E2E_WORK_DIR:?set by CTest}" "${REFLASHER_E2E_SHOT_DIR:?set by CTest}"
unset DISPLAY  # a display of its own: a shared one would mix up the key presses

build=${REFLASHER_WINE_BUILD_DIR:-}
[ -n "$build" ] || build=$(wine_build_dir_of "$driver") || { echo "run-visuals: no build tree for $driver" >&2; exit 2; }

rm -rf "$REFLASHER_E2E_WORK_DIR"
mkdir -p "$REFLASHER_E2E_WORK_DIR" "$REFLASHER_E2E_SHOT_DIR"

start=$SECONDS
wine_session_begin "$build" || exit 1

wine_session_helper "$here/../../../tools/answer-screenshots.sh" "$REFLASHER_E2E_SHOT_DIR"
wine_session_helper "$here/answer-host-requests.sh" "$REFLASHER_E2E_SHOT_DIR"

wine_run "$driver" "${@:2}"
rc=$?
echo "run-visuals: took $((SECONDS - start)) s in all"
wine_session_end
exit $rc
