#!/usr/bin/env bash
# Checks that Windows programs import only DLLs every Windows system has, so the
# exe runs when copied alone to another machine (no MinGW runtime DLLs beside it).
#   check-imports.sh --tree <build dir>   every .exe/.dll built in the tree
#   check-imports.sh <file>...            the given files
#   check-imports.sh --program <file>...  Reflasher.exe itself, stricter: see below
# Exit 0 when all pass; 1 naming each offending file and DLL.
set -euo pipefail

# The tree's own objdump: each tree's CMake passes it.
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

# What the program and its tests may use; compared with letter case folded.
allowed=(
    kernel32.dll user32.dll gdi32.dll winspool.drv comctl32.dll comdlg32.dll
    advapi32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll oleacc.dll
    version.dll msimg32.dll uxtheme.dll msvcrt.dll
)

# What Reflasher.exe may import: only DLLs Windows maps from its KnownDLLs list
# (never from the program's folder), and comctl32, which the manifest sends to the
# side-by-side store. Any other DLL imported would be looked for beside the
# program first; the program loads those at run time from the system folder.
known_dlls=(
    advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll
    gdiplus.dll imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll
    nsi.dll ole32.dll oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll
    shcore.dll shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll
    comctl32.dll
)
reason="is not a system DLL"

files=()
if [ "${1:-}" = --program ]; then
    shift
    [ $# -gt 0 ] || { echo "usage: check-imports.sh --program <file>..." >&2; exit 2; }
    allowed=("${known_dlls[@]}")
    reason="is not one Windows loads from the system folder only"
    files=("$@")
elif [ "${1:-}" = --tree ]; then
    tree=${2:?usage: check-imports.sh --tree <build dir>}
    # Skip CMake's compiler probes, the Wine prefixes, which hold Wine's own programs,
    # and the scenarios' work folders, where copies are made while they run.
    while IFS= read -r -d '' f; do files+=("$f"); done < <(
        find "$tree" \( -path "$tree/wine" -o -name CMakeFiles -o -path "$tree/tests/wine/e2e/scenarios" \) -prune -o \
            -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 | sort -z)
    if [ ${#files[@]} -eq 0 ]; then
        echo "check-imports: no Windows programs found under $tree" >&2
        exit 1
    fi
else
    [ $# -gt 0 ] || { echo "usage: check-imports.sh --tree <build dir> | <file>..." >&2; exit 2; }
    files=("$@")
fi

is_allowed() {
    local dll=${1,,} a
    for a in "${allowed[@]}"; do [ "$dll" = "$a" ] && return 0; done
    return 1
}

failed=0
for f in "${files[@]}"; do
    if ! dump=$("$objdump" -p "$f" 2>&1); then
        echo "FAIL $f: not a readable Windows binary" >&2
        failed=1
        continue
    fi
    mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | sort -u)
    bad=()
    for d in "${dlls[@]}"; do is_allowed "$d" || bad+=("$d"); done
    if [ ${#bad[@]} -eq 0 ]; then
        echo "ok   $f: ${dlls[*]}"
    else
        for d in "${bad[@]}"; do echo "FAIL $f: $d $reason"; done
        failed=1
    fi
done
exit $failed
