#!/usr/bin/env bash
# Under Wine: Return in the mode dialog gives a 640x480 window in which the swarm is drawn on the
# pitch-0 blue background, with overlay lines 1 to 3 exact; holding S moves the camera back in
# 4-unit steps; while P is held the picture stands still; Escape ends the program with status 0,
# printing nothing.
# shellcheck source=../wine_lib.sh
source "$(dirname "$0")/../wine_lib.sh"

readonly step=4

# camera_z FILE: the z of overlay line 2, which must show the camera on the z axis.
camera_z() {
  local line
  line=$(overlay_line 2 "$1")
  [[ $line =~ ^XM:\ 0\.000000\ YM:\ 0\.000000\ ZM:\ (-?[0-9]+)\.000000$ ]] ||
    fail "overlay line 2 is '$line', not the camera on the z axis at a whole position"
  echo "${BASH_REMATCH[1]}"
}

moved_back() { [ "$(camera_z "$(screenshot moving)")" -lt 0 ]; }

start_at_dialog
choose_default_mode
park_pointer
wait_for "the swarm to be drawn on the blue background" 15 swarm_drawn
note "$SCENE pixels below the overlay differ from the background"
shot=$SHOT
expect_line 1 '^XR: 0 YR: 0$' "$shot"
expect_line 2 '^XM: 0\.000000 YM: 0\.000000 ZM: 0\.000000$' "$shot"
expect_line 3 '^Drawing takes [0-9]+ ticks\.$' "$shot"
expect_line 4 '^$' "$shot"

# Every z seen while S is held is a whole number of steps back, and they only grow.
xdotool keydown s
wait_for "S to move the camera back" 5 moved_back
positions=()
for i in 1 2 3 4 5; do
  positions+=("$(camera_z "$(screenshot "back_$i")")")
  sleep 0.1
done
xdotool keyup s
note "camera z while S was held: ${positions[*]}"
previous=0
for z in "${positions[@]}"; do
  [ $((z % step)) -eq 0 ] || fail "camera z $z is not a whole number of $step-unit steps"
  [ "$z" -le "$previous" ] || fail "camera z went from $previous to $z while S was held"
  previous=$z
done
[ "${positions[4]}" -lt "${positions[0]}" ] || fail "the camera stopped moving back: ${positions[*]}"

xdotool keydown p
wait_for "the paused picture to stand still" 5 stands_still
sleep 1 # held a while longer, and the picture must not move at all meanwhile
changed=$(differing_pixels "$PAUSED" "$(screenshot paused_later)" "$(below_overlay)")
xdotool keyup p
[ "$changed" = 0 ] || fail "$changed pixels changed while P was held"

press_key Escape 0.3
wait_for_exit 10
check_quiet
pass
