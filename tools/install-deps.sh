#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when any is missing.
# As root it runs apt-get; otherwise it prints the one line to run.
set -euo pipefail

packages=(cmake make g++ googletest clang libclang-rt-14-dev
          g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 xvfb
          imagemagick xdotool x11-utils file zlib1g-dev)

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
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
