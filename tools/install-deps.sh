#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when any is missing.
# As root it runs apt-get; otherwise it prints the one line to run.
#
# Package indexes break now and then (a mirror mid-sync): a failing
# `apt-get update` is only a warning, the install decides. When a plain
# install fails (often multiarch version skew between suites), it is tried
# once more naming the release, which pins every package to one suite.
set -euo pipefail

packages=(cmake make g++ googletest clang libclang-rt-14-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine wine32:i386 wine64 xvfb
          imagemagick xdotool x11-utils file zlib1g-dev
          osslsigncode openssl)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="dpkg --add-architecture i386 && apt-get update && apt-get install -y ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:"
  echo "  $line"
  exit 1
fi
echo "Installing: ${missing[*]}"
dpkg --add-architecture i386
apt-get update -q || echo "warning: apt-get update failed (see above); trying the install with the indexes as they are" >&2

install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -q)
"${install[@]}" "${missing[@]}" && exit 0

release=$(. "${REFLASHER_OS_RELEASE:-/etc/os-release}" 2>/dev/null && echo "${VERSION_CODENAME:-}")
if [ -z "$release" ]; then
  echo "error: the install failed and /etc/os-release names no release to retry with:" >&2
  echo "  apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "The plain install failed; trying again with the release named: -t $release" >&2
if ! "${install[@]}" -t "$release" "${missing[@]}"; then
  echo "error: this install failed too:" >&2
  echo "  apt-get install -y -t $release ${missing[*]}" >&2
  exit 1
fi
