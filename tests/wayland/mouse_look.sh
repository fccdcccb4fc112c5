#!/usr/bin/env bash
# The program under Xwayland: the mode dialog comes up, Return gives the 640x480 window, a
# right-button drag made through the compositor turns the view by exactly the motion (one unit a
# pixel) while the X pointer stays where the drag began, and Escape ends the program with status
# 0 and nothing printed.
# shellcheck source=wayland_lib.sh
source "$(dirname "$0")/wayland_lib.sh"

readonly dragMoves=20
readonly dragDx=5
readonly dragDy=2
# The library puts the X pointer back on its own pointer up to 2 s after the mickeys were last
# read: the pointer has to stay put for longer than that after the release.
readonly settleMs=2500

# The X pointer as "x y" on the screen, as Xwayland has it.
x_pointer() { xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | paste -sd ' '; }

x_pointer_is() { [ "$(x_pointer)" = "$1" ]; }

# pointer_at_start WHEN: the X pointer is where the drag began.
pointer_at_start() {
  local at
  at=$(x_pointer)
  [ "$at" = "$start" ] || fail "$1 the X pointer is at $at, not at $start where the drag began"
}

# The drag, as a mouse gives it: the right button down, held for the program's polling to see
# it (the pass that sees the press only arms mouse look), moves 30 ms apart, the button up.
drag() {
  local i
  pointer_command press right
  sleep 0.1
  for ((i = 1; i <= dragMoves; i++)); do
    sleep 0.03
    pointer_command move "$dragDx" "$dragDy"
    pointer_at_start "during the drag, after move $i,"
  done
  sleep 0.1
  pointer_command release right
}

# One unit of yaw and pitch a pixel; moving right turns left and moving down looks down.
readonly turned="XR: $((-dragMoves * dragDy)) YR: $((-dragMoves * dragDx))"
turned_by_drag() { [ "$(overlay_line 1)" = "$turned" ]; }

start_running
expect_line 1 '^XR: 0 YR: 0$' "$FRAME"
focus_window
start="$((WIN_X + WIN_W / 2)) $((WIN_Y + WIN_H / 2))"
wait_for "the X pointer at $start" 5 x_pointer_is "$start"
pointer_at_start "before the drag"
before=$(pointer_position "$(screenshot before_drag)") || before=""

drag
pointer_at_start "at the release"
wait_for "overlay line 1 to show '$turned'" 3 turned_by_drag
note "after $dragMoves moves of ($dragDx,$dragDy): $turned"
deadline=$(($(now_ms) + settleMs))
while [ "$(now_ms)" -lt "$deadline" ]; do
  pointer_at_start "after the drag"
  sleep 0.1
done
shot=$(screenshot after_drag)
expect_line 1 "^$turned\$" "$shot"
after=$(pointer_position "$shot") || after=""
[ "$after" = "$before" ] ||
  fail "the program drew its pointer at '${before:-nowhere}' before the drag, '${after:-nowhere}' after"
note "X pointer kept at $start; the program's pointer drawn at ${after:-nowhere} throughout"

press_key Escape 0.3
wait_for_exit 10
check_quiet
pass
