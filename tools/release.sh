#!/usr/bin/env bash
# Builds the Windows release ZIP from the shipped 32-bit build, checks what is in it
# and prints its path on standard output; the report goes to standard error.
# Usage: tools/release.sh [--sales-address ADDRESS]
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: tools/release.sh [--sales-address ADDRESS]" >&2
    exit 2
}

# Without an address the build's default applies, never one cached by an earlier run.
address_option=(-UORDERFORM_SALES_ADDRESS)
while [ $# -gt 0 ]; do
    case $1 in
        --sales-address) [ $# -ge 2 ] || usage; address_option=(-DORDERFORM_SALES_ADDRESS="$2"); shift 2 ;;
        --sales-address=*) address_option=(-DORDERFORM_SALES_ADDRESS="${1#*=}"); shift ;;
        *) usage ;;
    esac
done

tools/setup.sh
build=build/release
package_dir=$build/package
cmake --preset windows-x86 -B "$build" -DBUILD_TESTING=OFF "${address_option[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
address=$(sed -n 's/^ORDERFORM_SALES_ADDRESS:STRING=//p' "$build/CMakeCache.txt")

rm -rf "$package_dir"
cpack --config "$build/CPackConfig.cmake" -B "$package_dir" >/dev/null
zips=("$package_dir"/*.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || { echo "release: cpack made no single ZIP" >&2; exit 1; }
zip=$PWD/${zips[0]}

# Check what the customer unpacks, not what the build left behind.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")
top=$(find "$unpacked" -mindepth 1 -maxdepth 1 -type d)

python=python3
"$python" -c 'import pefile' 2>/dev/null || python=/usr/bin/python3
check_pe() {
    local report
    report=$("$python" tests/pe/check_pe.py --machine i386 --format pe32 "$@" 2>&1) \
        || { echo "$report" >&2; exit 1; }
    echo "$report" | head -1 | sed "s|^$top/||" >&2
}

missing=0
for file in orderform.exe dalvex.dll orderline.exe README.txt; do
    [ -f "$top/$file" ] || { echo "release: $file is missing from the ZIP" >&2; missing=1; }
done
[ "$missing" -eq 0 ] || exit 1
check_pe --subsystem gui "$top/orderform.exe"
check_pe --dll --export-name dalvex.dll "$top/dalvex.dll"
check_pe --subsystem console "$top/orderline.exe"
grep -qaF "$address" "$top/orderform.exe" \
    || { echo "release: orderform.exe does not hold the sales address $address" >&2; exit 1; }

echo "release: sales address $address" >&2
echo "$zip"
