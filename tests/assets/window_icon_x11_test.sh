#!/bin/sh
# The real program under Xvfb: the icon pixmap and mask its WM_HINTS name
# (what a window manager shows) are the XPM compiled into it, pixel for pixel.
# Allegro gives every window an icon of its own otherwise.
#   window_icon_x11_test.sh PROGRAM ICON_PROBE
# Exits 77 (skipped) when Xvfb, xdotool or xprop is missing.
set -u
program=$1
probe=$2
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
# Xvfb picks a free display; another server starting at the same moment
# can take it first, so try again until one answers. -noreset: a server
# resets when its last client (the xprop probe) leaves and drops the
# connections made meanwhile, the program's among them.
start_xvfb() {
    rm -f "$tmp/display"
    Xvfb -displayfd 3 -screen 0 640x480x24 -noreset -nolisten tcp 3>"$tmp/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$tmp/display" 2>/dev/null)"
    for _ in $(seq 20); do
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        xprop -root >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
for attempt in 1 2 3; do
    start_xvfb && break
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    [ "$attempt" = 3 ] && { echo "FAIL: no X server"; exit 1; }
done
(cd "$tmp" && SDL_AUDIODRIVER=dummy exec "$program" >"$tmp/out" 2>&1) &
app_pid=$!
window=""
for _ in $(seq 50); do
    window=$(xdotool search --class allegro 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window"; cat "$tmp/out"; exit 1; }
# The window can show up before Allegro has set its hints.
for _ in $(seq 50); do
    xprop -id "$window" WM_HINTS 2>/dev/null | grep -q "bitmap id # of mask" && break
    sleep 0.1
done
# Hints may be written more than once while the window comes up; give the
# program a moment to settle on its icon before calling it wrong.
ok=""
for _ in $(seq 30); do
    "$probe" "$window" >"$tmp/probe" 2>&1 && { ok=1; break; }
    sleep 0.1
done
[ -n "$ok" ] || { cat "$tmp/probe"; xprop -id "$window" WM_HINTS; echo "FAIL: not our icon"; exit 1; }
echo "window_icon_x11: 1 passed, 0 failed"
