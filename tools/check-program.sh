#!/usr/bin/env bash
# Checks a program we hand out: no link time in its PE header (the same sources
# must give the same bytes), a hardened header and, when a limit is given, its size.
#   check-program.sh <program.exe> [most bytes]
# Hardened: DYNAMIC_BASE with its relocations kept, NX_COMPAT, TERMINAL_SERVER_AWARE,
# and for a 64-bit program HIGH_ENTROPY_VA.
set -euo pipefail

program=${1:?usage: check-program.sh <program.exe> [most bytes]}
limit=${2:-}

u16() { od -An -tu2 -j "$1" -N2 "$program" | tr -d ' '; }
u32() { od -An -tu4 -j "$1" -N4 "$program" | tr -d ' '; }
# The PE header starts where the DOS header's word at 0x3C says; its time stamp
# is 8 bytes in, its characteristics 22; the optional header follows at 24.
pe=$(u32 60)
stamp=$(u32 $((pe + 8)))
characteristics=$(u16 $((pe + 22)))
optional=$((pe + 24))
magic=$(u16 $optional)
dll=$(u16 $((optional + 70)))
# The base relocation table is data directory 5 (8 bytes each), which starts 96
# bytes into a 32-bit optional header and 112 into a 64-bit one.
if [ "$magic" = 523 ]; then bits=64; directories=$((optional + 112)); else bits=32; directories=$((optional + 96)); fi
relocations=$(u32 $((directories + 5 * 8 + 4)))
size=$(stat -c %s "$program")
printf '%s: %s bytes%s, PE time stamp %s, %s-bit, DllCharacteristics 0x%04x, %s bytes of relocations\n' \
    "$program" "$size" "${limit:+ (at most $limit)}" "$stamp" "$bits" "$dll" "$relocations"

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
[ "$stamp" = 0 ] || fail "the PE header carries a link time; two builds would differ"
if [ -n "$limit" ] && [ "$size" -gt "$limit" ]; then fail "$size bytes is over the limit of $limit"; fi
flag() { (( dll & $1 )) || fail "$2 is not set"; }
flag 0x0040 DYNAMIC_BASE
flag 0x0100 NX_COMPAT
flag 0x8000 TERMINAL_SERVER_AWARE
[ "$bits" = 32 ] || flag 0x0020 HIGH_ENTROPY_VA
# Without relocations Windows can't move the program, whatever DYNAMIC_BASE says.
if (( characteristics & 0x0001 )) || [ "$relocations" = 0 ]; then
    fail "the relocations are stripped; the program can't be loaded at a random base"
fi
exit $failed
