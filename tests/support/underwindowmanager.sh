#!/bin/sh
# Runs a test on this X display once a window manager manages it, as on a
# desktop: what keeps the keyboard when a window is shown is its decision.
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    kill -0 "$manager" 2>/dev/null || { echo "openbox did not start" >&2; exit 1; }
    sleep 0.1
done
RAVELHORN_WINDOW_MANAGER=openbox "$@"
status=$?
kill "$manager"
exit "$status"
