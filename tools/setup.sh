#!/usr/bin/env bash
# Installs what building, running and testing need on a Debian machine. Run as root;
# running it again installs nothing that is already there.
set -euo pipefail

packages=(
    cmake make python3 python3-pefile
    g++ clang libclang-rt-14-dev googletest libgtest-dev
    g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix binutils-mingw-w64
    wine64 xvfb xauth x11-utils imagemagick xdotool
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run tools/setup.sh as root" >&2
    exit 1
fi
echo "setup: installing ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
