#!/usr/bin/env bash
# Builds funnies and starts it. Without a display it runs the program in a virtual X server
# instead, takes the default mode, lets it run a few seconds and leaves a screenshot.
# With --web it builds the browser's page instead and serves it on 127.0.0.1 until Ctrl+C:
#   scripts/run.sh --web [PORT]    (8080 by default)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --web ]; then
  port=${2:-8080}
  scripts/install-deps.sh web
  [ -f build-web/CMakeCache.txt ] || cmake --preset web -DBUILD_TESTING=OFF >/dev/null
  cmake --build --preset web --target funnies_site_size
  echo "funnies is at http://127.0.0.1:$port/funnies.html (Ctrl+C stops the server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
fi

scripts/install-deps.sh run
# The first run configures the release build without the tests, which need more packages;
# scripts/test.sh turns them on, and later runs keep the build as it is.
[ -f build/CMakeCache.txt ] || cmake --preset release -DBUILD_TESTING=OFF >/dev/null
cmake --build --preset release --target funnies >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  exec build/funnies
fi

fail() {
  echo "run.sh: $*" >&2
  exit 1
}
E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/funnies-run.XXXXXX")
STARTED_PIDS=()
end_started() {
  local pid
  for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_DIR"
}
trap end_started EXIT
# shellcheck source=tests/e2e/display.sh
source tests/e2e/display.sh

screenshot=build/funnies-screenshot.png
start_display
timeout 60 build/funnies &
program=$!
STARTED_PIDS+=("$program")
wait_for "the program's window" 15 window_found
wait_for "the mode dialog" 10 window_has_size 320 200
focus_window
sleep 1 # the dialog takes its keys once it has drawn itself
press_key Return # the dialog's first choice: a 640x480 window
wait_for "the 640x480 window" 10 window_has_size 640 480
focus_window
sleep 4 # the swarm spreads out
xdotool mousemove 639 479
sleep 0.5
import -window root -crop 640x480+0+0 +repage "$screenshot"
press_key Escape 0.3
wait "$program" || fail "the program ended with status $?"
echo "funnies ran in a virtual X server; screenshot: $(pwd)/$screenshot"
