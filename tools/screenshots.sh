#!/usr/bin/env bash
# Redraws the README's screenshots of the form, both views, on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
command -v xdotool >/dev/null || { echo "screenshots: needs xdotool (apt-get install xdotool)" >&2; exit 1; }
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target orderform -j"$(nproc)" >/dev/null
source tools/wine-env.sh --private-display

size=760x520
"$WINE" explorer /desktop=orderform,$size build/windows-x64/bin/orderform.exe &
for _ in $(seq 100); do
    desktop=$(xdotool search --name 'orderform' 2>/dev/null | head -1) && [ -n "$desktop" ] && break
    sleep 0.2
done
sleep 3
mkdir -p docs
import -window root -crop $size+0+0 +repage docs/form-software.png
# The view toggle button, where the virtual desktop draws it.
xdotool mousemove --window "$desktop" 175 168 click 1
sleep 1
import -window root -crop $size+0+0 +repage docs/form-hardware.png
wineserver -k
echo "screenshots: docs/form-software.png docs/form-hardware.png"
