#!/usr/bin/env bash
# Drags a borderless window by its form border with real X input and checks
# that the window moved by the drag's distance. Needs the test session's
# Wine prefix and display (scripts/lib/wine-session.sh).
# Usage: formborder_drag_e2e.sh <FormBorderDragWindow.exe>
set -euo pipefail
exe=$1
title='^Form border drag test$'

wine "$exe" </dev/null >/dev/null 2>&1 &
app=$!
trap 'kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true' EXIT

# Polls a condition every 0.1 s for up to 30 s.
wait_for() {
  local i
  for i in $(seq 1 300); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  echo "timed out waiting for: $*" >&2
  return 1
}

find_window() { window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1) && [ -n "$window" ]; }
wait_for find_window

position() { xdotool getwindowgeometry --shell "$window" | sed -n 's/^\([XY]\)=/\1 /p' | awk '{print $2}' | paste -sd' '; }
read -r x0 y0 <<<"$(position)"
echo "window $window at $x0,$y0"

# Press in the middle of the border (away from the corner grips), drag in
# steps as a hand would, release. Screen coordinates: the window moves
# under the pointer while it is dragged.
dx=60
dy=40
sx=$((x0 + 150))
sy=$((y0 + 15))
xdotool mousemove "$sx" "$sy"
xdotool mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove $((sx + dx * step / 6)) $((sy + dy * step / 6))
  sleep 0.05
done
xdotool mouseup 1

# The system's move loop may lag behind the pointer: wait for the end place.
arrived() { read -r x1 y1 <<<"$(position)"; [ $((x1 - x0)) -eq "$dx" ] && [ $((y1 - y0)) -eq "$dy" ]; }
if ! wait_for arrived; then
  read -r x1 y1 <<<"$(position)"
  echo "expected a move by $dx,$dy, got $((x1 - x0)),$((y1 - y0))" >&2
  exit 1
fi
echo "window moved to $x1,$y1"
