#!/usr/bin/env bash
# Configures one CMake preset: configure.sh <preset> [cmake arguments...]
# The whole output is kept in build/<preset>-configure.log. It is printed in full
# when configuring fails or CMake warns (a test not built because a tool is
# missing, say); otherwise one line says the tree is configured.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=${1:?usage: configure.sh <preset> [cmake arguments...]}
shift
mkdir -p "$root/build"
log=$root/build/$preset-configure.log
(cd "$root" && cmake --preset "$preset" "$@") >"$log" 2>&1
rc=$?
if [ $rc -ne 0 ]; then
    cat "$log" >&2
    echo "configure: cmake --preset $preset failed (exit $rc; output above and in $log)" >&2
elif grep -q '^CMake \(Warning\|Deprecation Warning\|Error\)' "$log"; then
    cat "$log" >&2
    echo "configure: cmake --preset $preset warned (output above and in $log)" >&2
else
    echo "configure: $preset configured (output in $log)"
fi
exit $rc
