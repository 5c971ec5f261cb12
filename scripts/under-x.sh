#!/usr/bin/env bash
# Runs a command on a real X server with a window manager, as a user's desktop has them: a new
# Xvfb display and openbox, both ended with the command. For tests of what only a window system
# with a window manager shows (window states, windows made anew).
set -euo pipefail
# Xvfb chooses a free display number itself and writes it out once it listens, so that two
# runs started at the same moment never take the same display.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
openbox_pid=""
cleanup() {
    [ -n "$openbox_pid" ] && kill "$openbox_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    rm -f "$number_file"
    wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 400); do
    [ -s "$number_file" ] && break
    sleep 0.05
done
[ -s "$number_file" ] || { echo "under-x: Xvfb did not start" >&2; exit 1; }
display=":$(head -n1 "$number_file")"
export DISPLAY="$display"
unset WAYLAND_DISPLAY
openbox >/dev/null 2>&1 &
openbox_pid=$!
# The window manager is running once it has set its check window on the root.
for _ in $(seq 400); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
# In a sanitizer build, LeakSanitizer cannot stop the threads that the X11 GL stack starts in
# the process (its tracer crashes at exit); every other check stays on. The same tests run
# offscreen with the leak check as well.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
QT_QPA_PLATFORM=xcb "$@"
