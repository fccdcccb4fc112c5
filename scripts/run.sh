#!/usr/bin/env bash
# Builds funnies and starts it. Without a display it runs the program in a virtual X server
# instead, takes the default mode, lets it run a few seconds and leaves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target funnies >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  exec build/funnies
fi

screenshot=build/funnies-screenshot.png
Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp -noreset 4>build/.display >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s build/.display ] && break; sleep 0.1; done
DISPLAY=":$(cat build/.display)"
export DISPLAY

timeout 60 build/funnies &
program=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^funnies$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
sleep 1
xdotool mousemove 160 100 windowfocus "$window"
xdotool keydown Return sleep 0.1 keyup Return  # the dialog's first choice: a 640x480 window
sleep 4
xdotool mousemove 639 479
sleep 0.5
import -window root -crop 640x480+0+0 +repage "$screenshot"
xdotool keydown Escape sleep 0.3 keyup Escape
wait "$program"
echo "funnies ran in a virtual X server; screenshot: $(pwd)/$screenshot"
