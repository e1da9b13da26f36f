#!/usr/bin/env bash
# Runs one end-to-end scenario: run-scenario.sh <driver.exe> [driver arguments...]
# The driver runs under Wine in a fresh copy of the build tree's booted prefix,
# on an Xvfb display of its own (REFLASHER_E2E_DISPLAY=:0 shows it on yours
# instead), and its screenshot requests (<shot dir>/<name>.request) are answered
# by tools/answer-screenshots.sh. The scenario's work folder starts empty.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# DLLs (a comma list) that Wine must take from beside a program before its own, as
# Windows does for DLLs it doesn't protect. Wine reads its load order from the Unix
# environment, so it is set here, for every process of the scenario.
if [ -n "${REFLASHER_E2E_NATIVE_FIRST:-}" ]; then
    export WINEDLLOVERRIDES="mscoree,mshtml=;$REFLASHER_E2E_NATIVE_FIRST=n,b"
fi
# shellcheck source=../../../tools/wine-lib.sh
. "$here/../../../tools/wine-lib.sh"

driver=${1:?usage: run-scenario.sh <driver.exe> [arguments...]}
: "${REFLASHER_E2E_WORK_DIR:?set by CTest}" "${REFLASHER_E2E_SHOT_DIR:?set by CTest}"

# A display shared with other scenarios would let one's end take down another's program.
if [ -n "${REFLASHER_E2E_DISPLAY:-}" ]; then export DISPLAY=$REFLASHER_E2E_DISPLAY; else unset DISPLAY; fi

build=${REFLASHER_WINE_BUILD_DIR:-}
[ -n "$build" ] || build=$(wine_build_dir_of "$driver") || { echo "run-scenario: no build tree for $driver" >&2; exit 2; }

rm -rf "$REFLASHER_E2E_WORK_DIR"
mkdir -p "$REFLASHER_E2E_WORK_DIR" "$REFLASHER_E2E_SHOT_DIR"

start=$SECONDS
wine_session_begin "$build" || exit 1
echo "run-scenario: prefix and display $DISPLAY ready in $((SECONDS - start)) s"

wine_session_helper "$here/../../../tools/answer-screenshots.sh" "$REFLASHER_E2E_SHOT_DIR"

wine_run "$driver" "${@:2}"
rc=$?
echo "run-scenario: scenario took $((SECONDS - start)) s in all"
wine_session_end
exit $rc
