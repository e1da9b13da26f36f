#!/usr/bin/env bash
# The shell library's printer set-up, seen through the real adapter: a printer
# installed, a status published and a port mapped from the shell, as the demo and
# the end-to-end tests do it.  wine_lib_test.sh <spooler_probe.exe> <build dir>
set -u
probe=$1
build=$2
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-lib.sh"

failures=0
expect() {  # expect <what> <expected> <actual>
    if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}

wine_session_begin "$build" || exit 1
jobs="$WINE_SESSION_DIR/jobs with 'quotes'"
printer='Dovrex "Lab" Embosser'

wine_install_printer "$printer" USB001 "Quillmar Dovrex" || exit 1
wine_install_printer "Dovrex Parallel" LPT1: "Quillmar Dovrex" || exit 1
wine_map_port USB001 "$(wine_sink_command "$jobs")" || exit 1
wine_set_status "$printer" "MFG:Quillmar;MDL:Dovrex Tactigraph;F:0642;" || exit 1

listing=$(wine_run "$probe" | tr -d '\r' | sort)
expect "both printers listed with port and driver" \
    "$(printf '%s\n' "$printer	USB001	Quillmar Dovrex" "Dovrex Parallel	LPT1:	Quillmar Dovrex" | sort)" "$listing"

expect "status decoded" "status 6 progress 42" "$(wine_run "$probe" status "$printer" | tr -d '\r')"
wine_set_status "$printer" "MFG:Quillmar;MDL:Dovrex Tactigraph;F:0100;"
expect "status rewritten" "status 1 progress 0" "$(wine_run "$probe" status "$printer" | tr -d '\r')"

wine_run "$probe" status "Dovrex Parallel" >/dev/null
expect "non-USB port refused" 3 $?

printf '\0\0\0\0\0\0\0\0\033%%-12345X@PJL SERVICE FIRMWARE\n\f' >"$WINE_SESSION_DIR/job.bin"
wine_run "$probe" send "$printer" "$(wine_windows_path "$WINE_SESSION_DIR/job.bin")"
expect "job sent" 0 $?
if cmp -s "$WINE_SESSION_DIR/job.bin" "$jobs/job-0001.bin"; then
    expect "job arrived byte for byte" same same
else
    expect "job arrived byte for byte" same "different or missing"
fi

[ "$failures" -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
