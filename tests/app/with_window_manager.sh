#!/bin/sh
# Runs a command on the X display in DISPLAY with openbox managing it: starts
# openbox, waits until it has taken the display, runs the command and ends
# openbox after it.
#   with_window_manager.sh <command> [argument...]
log=$(mktemp)
openbox --sm-disable >"$log" 2>&1 &
wm=$!
# A deadline of two minutes: on a loaded machine openbox can take a while to start.
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
  tries=$((tries + 1))
  if ! kill -0 "$wm" 2>/dev/null; then
    echo "openbox ended before it took the display:" >&2
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  if [ "$tries" -gt 2400 ]; then
    echo "openbox did not take the display within two minutes" >&2
    kill "$wm" 2>/dev/null
    rm -f "$log"
    exit 1
  fi
  sleep 0.05
done
rm -f "$log"
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit "$status"
