# Sourced by the script checks: check <what> <command...> passes when the command does.
failures=0
check() {
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
