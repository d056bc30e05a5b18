#!/bin/sh
# The real program under Xvfb: its window carries an icon pixmap and mask
# (the XPM compiled into it), as a window manager reads them from WM_HINTS.
#   window_icon_x11_test.sh PROGRAM
# Exits 77 (skipped) when Xvfb, xdotool or xprop is missing.
set -u
program=$1
for tool in Xvfb xdotool xprop; do
    command -v $tool >/dev/null || { echo "skipped: $tool not installed"; exit 77; }
done
tmp=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$tmp/display")"
(cd "$tmp" && SDL_AUDIODRIVER=dummy exec "$program" >"$tmp/out" 2>&1) &
app_pid=$!
window=""
for _ in $(seq 50); do
    window=$(xdotool search --class allegro 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window"; cat "$tmp/out"; exit 1; }
hints=$(xprop -id "$window" WM_HINTS)
echo "$hints"
echo "$hints" | grep -q "bitmap id # to use for icon" || { echo "FAIL: no icon pixmap"; exit 1; }
echo "$hints" | grep -q "bitmap id # of mask for icon" || { echo "FAIL: no icon mask"; exit 1; }
echo "window_icon_x11: 1 passed, 0 failed"
