#!/usr/bin/env bash
# Runs a command that runs a GoogleTest program with --gtest_filter (directly or
# through a runner such as run-scenario.sh), passes its output and exit code on,
# and fails when the filter ran no test at all.
#   run-gtest-filtered.sh <command> [arguments...]
# GoogleTest (Debian's 1.12 has no --gtest_fail_if_no_test) calls a run of zero
# tests a success, so a filter that matches nothing after a rename or a typo
# would pass without testing anything.
set -u
[ $# -ge 1 ] || { echo "usage: $0 <command> [arguments...]" >&2; exit 2; }

# GoogleTest's own count, "[==========] Running 3 tests from 2 test suites.",
# found line by line while the output goes through unchanged.
"$@" 2>&1 | awk '
    { print; fflush() }
    { line = $0; sub(/\r$/, "", line) }
    match(line, /Running [0-9]+ tests? from [0-9]+ test suites?\.$/) {
        split(substr(line, RSTART), words, " ")
        seen = 1
        if (words[2] + 0 > 0) ran = 1
    }
    END { exit ran ? 0 : (seen ? 3 : 4) }'
status=("${PIPESTATUS[@]}")
rc=${status[0]}
# A failing command speaks for itself; a passing one must have run a test.
[ "$rc" -ne 0 ] && exit "$rc"
case ${status[1]} in
    0) exit 0 ;;
    3) echo "run-gtest-filtered: the filter ran no test (misspelt, or the test was renamed?): $*" >&2 ;;
    *) echo "run-gtest-filtered: exit code 0 but no GoogleTest run in the output of: $*" >&2 ;;
esac
exit 1
