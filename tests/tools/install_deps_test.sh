#!/usr/bin/env bash
# tools/install-deps.sh against a broken package index, with apt-get, dpkg and
# dpkg-query stood in for by fakes that log their calls:
#   - `apt-get update` failing is only a warning: the install goes on;
#   - a failing plain install is tried once more with the release named;
#   - when that fails too, the failing line is shown and the exit is non-zero.
set -u
script=$(cd "$(dirname "$0")/../.." && pwd)/tools/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_LOG"
case " $* " in
    *" update "*) exit 100 ;;
    *" -t "*) exit "$FAKE_RELEASE_INSTALL" ;;
    *) exit "$FAKE_PLAIN_INSTALL" ;;
esac
FAKE
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"   # nothing installed
printf '#!/bin/sh\nexit 0\n' >"$work/bin/dpkg"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"           # as root
chmod +x "$work/bin"/*
printf 'ID=debian\nVERSION_CODENAME=bookworm\n' >"$work/os-release"

# shellcheck source=check.sh
. "$(dirname "$0")/check.sh"
run() {  # run <plain install rc> <release install rc>: gives the script's rc
    : >"$work/log"
    FAKE_LOG=$work/log FAKE_PLAIN_INSTALL=$1 FAKE_RELEASE_INSTALL=$2 REFLASHER_OS_RELEASE=$work/os-release \
        PATH="$work/bin:$PATH" "$script" >"$work/out" 2>&1
}
installs() { grep -c '^apt-get install' "$work/log"; }

run 0 0
check "update fails, plain install works: success" [ $? -eq 0 ]
check "  the failed update is a warning" grep -q 'warning: apt-get update failed' "$work/out"
check "  one install of every package, both Windows toolchains and Wines among them" \
    grep -q '^apt-get install .*g++-mingw-w64-x86-64-posix.*wine32:i386 wine64' "$work/log"
check "  no retry" [ "$(installs)" = 1 ]

run 100 0
check "plain install fails, release named works: success" [ $? -eq 0 ]
check "  the retry names the release" grep -q '^apt-get install .* -t bookworm ' "$work/log"
check "  two installs" [ "$(installs)" = 2 ]

run 100 100
check "both installs fail: failure" [ $? -ne 0 ]
check "  the failing line is shown" grep -q 'apt-get install -y -t bookworm .*xvfb' "$work/out"

[ $failures -eq 0 ] || { echo "--- last output:"; cat "$work/out"; }
exit $failures
