# Sourced by the scripts that run the Windows build: a private wine prefix inside the
# build tree, created once, and a display for it.
# Usage: source tools/wine-env.sh [--private-display]

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=$ROOT/build/wineprefix
export WINEDEBUG=-all
# Wine must never stop to offer its Mono or Gecko installers.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINE

start_private_display() {
    local n
    for n in $(seq 90 150); do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=:$n
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
        trap 'kill $XVFB_PID 2>/dev/null; "$ROOT"/tools/wineserver-stop.sh' EXIT
        return 0
    done
    echo "wine-env: no free display for Xvfb" >&2
    return 1
}

create_prefix() {
    [ -f "$WINEPREFIX/.orderform-ready" ] && return 0
    echo "wine-env: creating the wine prefix (once)"
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot --init >/dev/null 2>&1
    # Without a window manager every hidden window would wait for one.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crash fails its test instead of waiting on a dialog.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.orderform-ready"
}

if [ "${1:-}" = --private-display ] || ! xdpyinfo >/dev/null 2>&1; then
    start_private_display
fi
create_prefix
