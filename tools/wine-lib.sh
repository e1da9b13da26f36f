# Shell library for running our Windows programs under Wine, headless and in
# private prefixes. Source it (bash), then either call the pieces one by one or
#
#   wine_session_begin "$BUILD_DIR"        # boot/copy a prefix, start Xvfb, trap cleanup
#   wine_install_printer "Dovrex Embosser" USB001 "Quillmar Dovrex"
#   wine_map_port USB001 "$(wine_sink_command /abs/jobs)"   # jobs -> /abs/jobs/job-0001.bin ...
#   wine_set_status "Dovrex Embosser" "MFG:Quillmar;MDL:Dovrex;F:0000;"
#   wine_start "$BUILD_DIR/sim/bridge.exe" ...   # in the background
#   wine_run "$BUILD_DIR/app/Reflasher.exe"      # in the foreground, exit code returned
#
# and the session ends (wineserver, Xvfb, the prefix copy) when the shell exits.
#
# Why a copy per run: booting a prefix takes ~10 s, copying a booted one ~2 s,
# and parallel tests must not share a wineserver or a registry.

# Quiet, no Mono/Gecko install prompts.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The loader and prefix architecture follow the tree being served (the file
# wine-arch, which CMake writes into each Windows tree): win32 for the i686
# tree, win64 for the x86_64 one. Each loader is called directly: Debian's
# wine, wineboot and winepath wrappers take the i386 loader whenever it is
# installed, even on hosts that can't execute it.
WINE_LOADER_DIR=${WINE_LOADER_DIR:-/usr/lib/wine}
wine_use_tree() {
    local arch=win32
    [ -f "$1/wine-arch" ] && arch=$(cat "$1/wine-arch")
    case $arch in
        win32) export WINEARCH=win32 WINELOADER=$WINE_LOADER_DIR/wine ;;
        win64) export WINEARCH=win64 WINELOADER=$WINE_LOADER_DIR/wine64 ;;
        *) _wine_log "unknown Wine architecture '$arch' in $1/wine-arch"; return 1 ;;
    esac
}

_wine_log() { echo "wine-lib: $*" >&2; }

# The build tree an executable belongs to: the nearest ancestor holding CMakeCache.txt.
wine_build_dir_of() {
    local dir
    dir=$(cd "$(dirname "$1")" && pwd) || return 1
    while [ "$dir" != / ]; do
        [ -f "$dir/CMakeCache.txt" ] && { echo "$dir"; return 0; }
        dir=$(dirname "$dir")
    done
    return 1
}

# Boots the base prefix <dir> once. Parallel callers wait on the lock instead of
# booting twice. Each attempt boots a fresh directory beside <dir> and keeps a
# log of its own (<dir>.logs/boot-<n>.log, numbered, never overwritten); the
# directory becomes <dir> only after wineserver has saved the registry, so a copy
# never sees a half-written prefix. A failed attempt is retried once in another
# fresh directory; the failed one stays until then, after its wineserver is
# stopped, so the new one can't get its inode (wineserver finds a prefix's server
# by device and inode) and reach a server that still serves the dead prefix.
# When both attempts fail, the end of each log is printed.
WINE_BOOT_ATTEMPTS=2
wine_boot_base() {
    local base=$1
    mkdir -p "$(dirname "$base")"
    (
        flock 9
        [ -f "$base/.reflasher-booted" ] && exit 0
        # What a boot killed midway (a test on timeout) left: its server first.
        local stale
        for stale in "$base" "$base".attempt.*; do
            [ -d "$stale" ] || continue
            _wine_stop_server "$stale"
            rm -rf "$stale"
        done
        mkdir -p "$base.logs"
        local attempt dir log logs=() dirs=() start=$SECONDS
        for attempt in $(seq "$WINE_BOOT_ATTEMPTS"); do
            dir=$(mktemp -d "$base.attempt.XXXXXX") || exit 1
            dirs+=("$dir")
            log=$(_wine_next_boot_log "$base.logs")
            logs+=("$log")
            _wine_log "booting base prefix $base (attempt $attempt, log $log)"
            if _wine_boot_attempt "$dir" "$log" "$attempt"; then
                mv "$dir" "$base" || exit 1
                touch "$base/.reflasher-booted"
                _wine_log "base prefix booted in $((SECONDS - start)) s"
                for dir in "${dirs[@]}"; do rm -rf "$dir"; done
                exit 0
            fi
            _wine_log "wineboot attempt $attempt failed: $(tail -n1 "$log")"
            _wine_stop_server "$dir"
        done
        _wine_log "wineboot failed $WINE_BOOT_ATTEMPTS times for $base; the end of each attempt's log:"
        for log in "${logs[@]}"; do
            echo "----- $log (last 25 lines)" >&2
            tail -n 25 "$log" >&2
        done
        echo "-----" >&2
        [ -n "${REFLASHER_WINE_KEEP:-}" ] || rm -rf "${dirs[@]}"
        exit 1
    ) 9>"$base.lock"
}

# The first free boot-<n>.log in <folder>.
_wine_next_boot_log() {
    local n=1
    while [ -e "$1/boot-$n.log" ]; do n=$((n + 1)); done
    echo "$1/boot-$n.log"
}

# Stops the wineserver of prefix <dir>, if one runs, and every process in it.
_wine_stop_server() {
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1
    WINEPREFIX=$1 wineserver -w >/dev/null 2>&1
}

# The wineservers running now, each with its server folder (named after the
# device and inode of the prefix it serves), and whether one already answers for <dir>.
_wine_server_census() {
    local own pid folder
    own=server-$(stat -c '%D' "$1" 2>/dev/null)-$(printf '%x' "$(stat -c '%i' "$1" 2>/dev/null)")
    for pid in $(pgrep -x 'wineserver(32|64)?' 2>/dev/null); do
        folder=$(readlink "/proc/$pid/cwd" 2>/dev/null)
        echo "# wineserver $pid, up $(ps -o etime= -p "$pid" | tr -d ' '), in $folder"
        [ "${folder##*/}" = "$own" ] && echo "# a wineserver ($pid) already serves this prefix's device and inode: a stale one"
    done
    return 0
}

# One wineboot of the empty prefix <dir>, told in <log>: what ran, Wine's own
# error messages (WINEDEBUG here keeps the err class), and on failure why we
# think it failed, as the log's last line.
_wine_boot_attempt() {
    local dir=$1 log=$2 attempt=$3 t0=$SECONDS rc
    {
        echo "# wineboot attempt $attempt of $WINE_BOOT_ATTEMPTS, $(date '+%F %T'), pid $$, from $0"
        echo "# prefix $dir, WINEARCH=$WINEARCH, loader $WINELOADER ($("$WINELOADER" --version 2>&1))"
        _wine_server_census "$dir"
    } >"$log"
    WINEPREFIX=$dir DISPLAY= WINEDEBUG=${REFLASHER_WINE_BOOT_DEBUG:-fixme-all} \
        wine_run wineboot.exe -i >>"$log" 2>&1
    rc=$?
    WINEPREFIX=$dir wineserver -w >>"$log" 2>&1
    if [ $rc -ne 0 ]; then
        case $rc in
            126) echo "wineboot: the loader $WINELOADER could not be executed (exit 126) after $((SECONDS - t0)) s" ;;
            127) echo "wineboot: the loader $WINELOADER was not found (exit 127) after $((SECONDS - t0)) s" ;;
            *) echo "wineboot: exit code $rc after $((SECONDS - t0)) s" ;;
        esac >>"$log"
        return 1
    fi
    if [ ! -s "$dir/system.reg" ] || [ ! -s "$dir/user.reg" ] || [ ! -d "$dir/drive_c/windows" ]; then
        echo "wineboot: exit code 0 after $((SECONDS - t0)) s, but the prefix has no registry or no drive_c/windows" >>"$log"
        return 1
    fi
    echo "wineboot: done in $((SECONDS - t0)) s" >>"$log"
}

# Copies the booted base prefix to <dest> and makes it the current prefix.
wine_copy_prefix() {
    local base=$1 dest=$2
    cp -a "$base" "$dest" || return 1
    export WINEPREFIX=$dest
}

# Starts a private Xvfb unless a display is given. Xvfb chooses a free display
# number itself (-displayfd): guessing one races with parallel tests.
wine_start_xvfb() {
    [ -n "${DISPLAY:-}" ] && return 0
    local dir=$1 fdfile="$1/xvfb.display" i
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" \
        </dev/null >"$dir/xvfb.log" 2>&1 &
    WINE_XVFB_PID=$!
    for i in $(seq 100); do
        if [ -s "$fdfile" ] && grep -q '^[0-9][0-9]*$' "$fdfile"; then
            export DISPLAY=:$(head -n1 "$fdfile")
            return 0
        fi
        kill -0 "$WINE_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    _wine_log "Xvfb did not start (see $dir/xvfb.log)"
    return 1
}

# Ends everything the session started: the prefix's wineserver (and with it
# every Wine process in the prefix), our Xvfb, and the prefix copy.
wine_session_end() {
    local pid
    for pid in "${WINE_SESSION_HELPERS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    WINE_SESSION_HELPERS=()
    if [ -n "${WINE_SESSION_DIR:-}" ]; then
        WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1
        WINEPREFIX=$WINEPREFIX wineserver -w >/dev/null 2>&1
    fi
    if [ -n "${WINE_XVFB_PID:-}" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null
        wait "$WINE_XVFB_PID" 2>/dev/null
        WINE_XVFB_PID=
    fi
    if [ -n "${WINE_SESSION_DIR:-}" ]; then
        if [ -n "${REFLASHER_WINE_KEEP:-}" ]; then
            _wine_log "kept $WINE_SESSION_DIR"
        else
            rm -rf "$WINE_SESSION_DIR"
        fi
        WINE_SESSION_DIR=
    fi
}

# Removes the prefix copies of sessions whose shell is gone: a test killed on
# timeout (SIGKILL) gets no chance to clean up, and each copy is ~600 MB.
wine_sweep_runs() {
    local run pid
    for run in "$1"/run.*; do
        [ -f "$run/owner.pid" ] || continue
        pid=$(cat "$run/owner.pid" 2>/dev/null) || continue
        case $pid in '' | *[!0-9]*) continue ;; esac
        kill -0 "$pid" 2>/dev/null || rm -rf "$run"
    done
}

# A fresh prefix and display for this shell, inside <build dir>/wine.
# Exports WINEPREFIX, DISPLAY, WINE_SESSION_DIR; cleans up on exit or signal.
wine_session_begin() {
    local build=$1 root="$1/wine"
    wine_use_tree "$build" || return 1
    wine_boot_base "$root/base-prefix" || return 1
    mkdir -p "$root/runs"
    wine_sweep_runs "$root/runs"
    WINE_SESSION_DIR=$(mktemp -d "$root/runs/run.XXXXXX") || return 1
    echo $$ >"$WINE_SESSION_DIR/owner.pid"
    trap wine_session_end EXIT
    trap 'wine_session_end; exit 130' INT
    trap 'wine_session_end; exit 143' TERM
    trap 'wine_session_end; exit 129' HUP
    wine_copy_prefix "$root/base-prefix" "$WINE_SESSION_DIR/prefix" || return 1
    wine_start_xvfb "$WINE_SESSION_DIR" || return 1
}

# Starts a host-side helper (screenshot answerer and the like) in the background;
# wine_session_end stops it before the prefix and display go.
WINE_SESSION_HELPERS=()
wine_session_helper() {
    "$@" &
    WINE_SESSION_HELPERS+=($!)
}

# Runs a Windows program (or one of Wine's own: regedit, reg, winepath.exe ...)
# in the current prefix with the tree's loader; gives its exit code.
wine_run() { "$WINELOADER" "$@"; }

# Starts a Windows program in the background; its pid is in WINE_LAST_PID.
# wine_session_end stops it with the rest of the prefix.
wine_start() {
    wine_run "$@" &
    WINE_LAST_PID=$!
}

# A Unix path as the prefix's programs see it.
wine_windows_path() { wine_run winepath.exe -w "$1" 2>/dev/null; }

# Tells Wine that no window manager manages its windows: under Xvfb there is
# none, and Wine would otherwise wait about 2 s for one on every window that closes.
wine_unmanaged() {
    wine_run reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

# A string as a .reg file literal.
_wine_reg_string() {
    local s=${1//\\/\\\\}
    printf '"%s"' "${s//\"/\\\"}"
}

# ASCII text plus its zero byte as a .reg hex: list.
_wine_reg_hex_z() {
    printf '%s' "$1" | od -An -v -tx1 | tr -s ' \n' ',,' | sed 's/^,//'
    printf '00'
}

_wine_import_reg() {
    local file
    file=$(mktemp "${WINE_SESSION_DIR:-/tmp}/import.XXXXXX.reg")
    { echo REGEDIT4; echo; cat; } >"$file"
    wine_run regedit.exe /S "$(wine_windows_path "$file")" >/dev/null 2>&1
    local rc=$?
    rm -f "$file"
    return $rc
}

_wine_printer_key() {
    echo "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Print\\Printers\\$1"
}

# Installs a local printer from registry values alone (Wine needs no driver files).
wine_install_printer() {
    local name=$1 port=$2 driver=$3
    _wine_import_reg <<EOF
[$(_wine_printer_key "$name")]
"Name"=$(_wine_reg_string "$name")
"Port"=$(_wine_reg_string "$port")
"Printer Driver"=$(_wine_reg_string "$driver")
"Print Processor"="winprint"
"Datatype"="RAW"
"Attributes"=dword:00000040
EOF
}

# Sends what is printed to <port> to a Unix file, or to a command when it starts with "|".
wine_map_port() {
    _wine_import_reg <<EOF
[HKEY_CURRENT_USER\\Software\\Wine\\Printing\\Spooler]
$(_wine_reg_string "$1")=$(_wine_reg_string "$2")
EOF
}

# A single-quoted word for /bin/sh.
_wine_sh_quote() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }

# What to map a port to so that each job lands in <folder> as job-0001.bin, ...
# (Wine runs a "|command" port through /bin/sh -c, once per job, when the job ends.)
wine_sink_command() {
    local lib_dir
    lib_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    printf '|%s %s' "$(_wine_sh_quote "$lib_dir/wine-job-sink.sh")" "$(_wine_sh_quote "$1")"
}

# Publishes <text> (and its zero byte) as the printer's status string.
wine_set_status() {
    _wine_import_reg <<EOF
[$(_wine_printer_key "$1")\\PrinterDriverData]
"QMSTSSTR"=hex:$(_wine_reg_hex_z "$2")
EOF
}
