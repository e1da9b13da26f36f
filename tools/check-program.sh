#!/usr/bin/env bash
# Checks a program we hand out: no link time in its PE header (the same sources
# must give the same bytes) and, when a limit is given, its size.
#   check-program.sh <program.exe> [most bytes]
set -euo pipefail

program=${1:?usage: check-program.sh <program.exe> [most bytes]}
limit=${2:-}

u32() { od -An -tu4 -j "$1" -N4 "$program" | tr -d ' '; }
# The PE header starts where the DOS header's word at 0x3C says; its time stamp
# is 8 bytes in.
stamp=$(u32 $(( $(u32 60) + 8 )))
size=$(stat -c %s "$program")
echo "$program: $size bytes${limit:+ (at most $limit)}, PE time stamp $stamp"

failed=0
if [ "$stamp" != 0 ]; then
    echo "FAIL: the PE header carries a link time; two builds would differ" >&2
    failed=1
fi
if [ -n "$limit" ] && [ "$size" -gt "$limit" ]; then
    echo "FAIL: $size bytes is over the limit of $limit" >&2
    failed=1
fi
exit $failed
