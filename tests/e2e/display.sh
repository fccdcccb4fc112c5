# shellcheck shell=bash
# The virtual X server and the program's window, shared by the end-to-end scenarios (through
# lib.sh) and scripts/run.sh. The caller defines fail (prints its reason and exits), E2E_DIR (a
# folder of its own) and STARTED_PIDS (an array of what to end at exit).

now_ms() { date +%s%3N; }

# poll_for SECONDS COMMAND...: polls COMMAND until it succeeds; a failing status after SECONDS.
poll_for() {
  local deadline=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# wait_for DESCRIPTION SECONDS COMMAND...: polls COMMAND until it succeeds, or fails the scenario.
wait_for() {
  local what=$1 seconds=$2
  shift 2
  poll_for "$seconds" "$@" || fail "waited ${seconds}s for $what"
}

# -noreset: by default the server resets whenever its last client leaves, and a client that
# connects during the reset is turned away; with our xdotool and import calls coming and going,
# that sometimes hit the program's own connection at start-up (1 start in 40 or so).
start_display() {
  [ -z "${DISPLAY_STARTED:-}" ] || return 0
  DISPLAY_STARTED=yes
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_DIR/display" \
    >"$E2E_DIR/xvfb.log" 2>&1 &
  STARTED_PIDS+=($!)
  wait_for "the virtual X server" 10 test -s "$E2E_DIR/display"
  DISPLAY=":$(cat "$E2E_DIR/display")"
  export DISPLAY
  wait_for "the display to answer" 5 xdpyinfo >/dev/null 2>&1
}

# The program's pid is timeout's child, so the window is found by its name.
window_found() {
  WINDOW=$(xdotool search --onlyvisible --name '^funnies$' 2>/dev/null | head -n 1) && [ -n "$WINDOW" ]
}

# Sets WIN_X, WIN_Y, WIN_W, WIN_H from the window's current geometry.
# shellcheck disable=SC2034 # WIN_X and WIN_Y are read by the screenshot helpers
read_geometry() {
  WIN_X=0 WIN_Y=0 WIN_W=0 WIN_H=0
  while IFS='=' read -r name value; do
    case $name in
    X) WIN_X=$value ;;
    Y) WIN_Y=$value ;;
    WIDTH) WIN_W=$value ;;
    HEIGHT) WIN_H=$value ;;
    esac
  done < <(xdotool getwindowgeometry --shell "$WINDOW" 2>/dev/null)
}

window_has_size() {
  read_geometry
  [ "$WIN_W" = "$1" ] && [ "$WIN_H" = "$2" ]
}

# pointer_to X Y: the X pointer to that point of the window.
pointer_to() { xdotool mousemove --window "$WINDOW" "$1" "$2"; }

# Keyboard input reaches a window only with the focus set and the pointer over it.
focus_window() {
  pointer_to $((WIN_W / 2)) $((WIN_H / 2))
  xdotool windowfocus "$WINDOW"
}

# Short taps are missed by the program's polling: keys are held 0.1 s unless told otherwise.
press_key() {
  xdotool keydown "$1"
  sleep "${2:-0.1}"
  xdotool keyup "$1"
}
