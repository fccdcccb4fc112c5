#!/usr/bin/env bash
# Mouse look and the camera keys: a right-button drag turns the view up or down up to the pitch
# clamp (the background's blue follows the pitch) while the pointer stays put; Q raises the camera
# by whole 4-unit steps; Space switches to the orbit camera, keeping the distance from the origin.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

# Brings the X pointer and the program's pointer together to the middle of the window: parked in
# the corner, the program's pointer follows the X pointer's move from the corner to the middle.
centre_pointers() {
  local cx=$((WIN_W / 2)) cy=$((WIN_H / 2)) px py
  for _ in $(seq 5); do
    park_pointer
    xdotool mousemove --window "$WINDOW" "$cx" "$cy"
    sleep 0.2
    if read -r px py < <(pointer_position "$(screenshot centred)") && near "$px" "$py" "$cx" "$cy" 3; then
      return 0
    fi
  done
  fail "could not bring the program's pointer to the middle of the window"
}

# The camera's pitch as the picture shows it twice: in the background's blue (pitch + 64) and in
# overlay line 1. Sets SHOWN_BLUE and SHOWN_PITCH from a fresh screenshot.
read_pitch() {
  local shot colour line
  shot=$(screenshot "${1:-pitch}")
  colour=$(dominant_colour "$shot")
  [[ $colour =~ ^0,0,([0-9]+)$ ]] || fail "the background is $colour, not pure blue"
  SHOWN_BLUE=${BASH_REMATCH[1]}
  line=$(overlay_line 1 "$shot")
  [[ $line =~ ^XR:\ (-?[0-9]+)\ YR:\ -?[0-9]+$ ]] || fail "overlay line 1 is '$line'"
  SHOWN_PITCH=${BASH_REMATCH[1]}
}

# pitch_shown_is P: the background's blue and line 1 both show pitch P.
pitch_shown_is() {
  read_pitch pitch
  [ "$SHOWN_PITCH" = "$1" ] && [ "$SHOWN_BLUE" = $(($1 + 64)) ]
}

# camera_position: overlay line 2's numbers, "x y z", from a fresh screenshot.
camera_position() {
  local line
  line=$(overlay_line 2)
  [[ $line =~ ^XM:\ (-?[0-9]+\.[0-9]{6})\ YM:\ (-?[0-9]+\.[0-9]{6})\ ZM:\ (-?[0-9]+\.[0-9]{6})$ ]] ||
    fail "overlay line 2 is '$line'"
  echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} ${BASH_REMATCH[3]}"
}

readonly pitchLimit=63
# pointer_kept_still NAME: the program's pointer is still where the drags began.
pointer_kept_still() {
  local x y
  read -r x y < <(pointer_position "$(screenshot "$1")") ||
    fail "the program's pointer is not to be seen after the drag (pushed to the edge?)"
  note "pointer at $start_x,$start_y before the drags, $x,$y after"
  [ "$x $y" = "$start_x $start_y" ] ||
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

turned_up() {
  read_pitch small_turn
  [ "$SHOWN_PITCH" -gt 0 ]
}

# orbiting_at DISTANCE: line 2 shows the orbit camera at that distance.
orbiting_at() { [ "$(camera_position)" = "0.000000 0.000000 $1" ]; }

# The camera's position holds between two readings a few frames apart.
camera_still() {
  local before
  before=$(camera_position)
  sleep 0.2
  [ "$(camera_position)" = "$before" ]
}

start_running
centre_pointers
read -r start_x start_y < <(pointer_position "$(screenshot pointer_before)") ||
  fail "the program's pointer is not to be seen"

drag_right -30
wait_for "a small drag up to turn the view" 3 turned_up
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
wait_for "the camera to stop rising" 3 camera_still
read -r x y z < <(camera_position)
note "after Q: camera at $x $y $z"
{ [ "$x" = 0.000000 ] && [ "$z" = 0.000000 ]; } || fail "Q moved the camera sideways: $x $y $z"
{ [[ $y =~ ^[0-9]+\.000000$ ]] && [ $((${y%.*} % 4)) -eq 0 ] && [ "${y%.*}" -gt 0 ]; } ||
  fail "after Q the height is $y, not a positive multiple of 4"

press_key space 0.2
poll_for 3 orbiting_at "$y" ||
  fail "the orbit camera shows $(camera_position), expected 0.000000 0.000000 $y"
note "orbit camera: 0.000000 0.000000 $y"
pass
