#!/usr/bin/env bash
# Mouse look and the camera keys: a right-button drag turns the view up or down up to the pitch
# clamp (the background's blue follows the pitch) while the pointer stays put; Q raises the camera
# by whole 4-unit steps; Space switches to the orbit camera, keeping the distance from the origin.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

readonly pitchLimit=63
# pixels; the library's warping lets the pointer slip a little, where a pointer left to follow the
# mouse would travel the whole drag (300 pixels or more) to the window's edge
readonly pointerTolerance=100

# pointer_kept_still NAME: the program's pointer is still near where the drags began.
pointer_kept_still() {
  local x y
  read -r x y < <(pointer_position "$(screenshot "$1")") ||
    fail "the program's pointer is not to be seen after the drag (pushed to the edge?)"
  note "pointer at $start_x,$start_y before the drags, $x,$y after"
  near "$start_x" "$start_y" "$x" "$y" "$pointerTolerance" ||
    fail "the pointer moved from $start_x,$start_y to $x,$y while the view turned"
}

# drag_to_pitch DY PITCH: drags by DY until the picture shows PITCH; the library drops some motion.
drag_to_pitch() {
  for _ in 1 2 3 4; do
    drag_right "$1"
    poll_for 1 pitch_shown_is "$2" && return 0
  done
  fail "dragging by $1 did not bring the view to pitch $2 (shown: $SHOWN_PITCH, blue $SHOWN_BLUE)"
}

start_running
centre_pointers
read -r start_x start_y < <(pointer_position "$(screenshot pointer_before)") ||
  fail "the program's pointer is not to be seen"

drag_right -30
sleep 0.3
read_pitch small_turn
note "a small drag up: pitch $SHOWN_PITCH, background blue $SHOWN_BLUE"
{ [ "$SHOWN_PITCH" -gt 0 ] && [ "$SHOWN_PITCH" -lt "$pitchLimit" ]; } ||
  fail "a 30-pixel drag up gave pitch $SHOWN_PITCH"
[ "$SHOWN_BLUE" -eq $((SHOWN_PITCH + 64)) ] || fail "blue $SHOWN_BLUE at pitch $SHOWN_PITCH"

drag_to_pitch -300 "$pitchLimit"
pointer_kept_still after_up
drag_to_pitch 300 "-$pitchLimit"
pointer_kept_still after_down

xdotool keydown q
# shellcheck disable=SC2016 # expanded by eval at every poll
wait_for "Q to raise the camera" 5 eval '[ "$(camera_position | cut -d" " -f2)" != 0.000000 ]'
sleep 0.5
xdotool keyup q
sleep 0.3
read -r x y z < <(camera_position)
note "after Q: camera at $x $y $z"
{ [ "$x" = 0.000000 ] && [ "$z" = 0.000000 ]; } || fail "Q moved the camera sideways: $x $y $z"
{ [[ $y =~ ^[0-9]+\.000000$ ]] && [ $((${y%.*} % 4)) -eq 0 ] && [ "${y%.*}" -gt 0 ]; } ||
  fail "after Q the height is $y, not a positive multiple of 4"

press_key space 0.2
sleep 0.3
read -r ox oy oz < <(camera_position)
note "orbit camera: $ox $oy $oz"
[ "$ox $oy $oz" = "0.000000 0.000000 $y" ] ||
  fail "the orbit camera shows $ox $oy $oz, expected 0.000000 0.000000 $y"
pass
