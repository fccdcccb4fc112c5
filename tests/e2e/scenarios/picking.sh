#!/usr/bin/env bash
# A left click on a drawn funnie head selects it (overlay line 4 shows its head's position) and a
# left click on empty sky clears the selection again. P is held throughout so that the picture
# holds still while the pointer is brought to its target.
source "$(dirname "$0")/../lib.sh"

readonly selectedLine='^Selected funnie at -?[0-9]+ -?[0-9]+ -?[0-9]+\.$'

line4_matches() { [[ $(overlay_line 4) =~ $1 ]]; }

# click_at X Y: a left click with the program's pointer at X Y.
click_at() {
  move_pointer_to "$1" "$2" || fail "could not bring the program's pointer to $1,$2"
  click_left
}

readonly maximumClicks=12

# select_a_head: clicks round blobs until one selects its funnie. The button is held for many
# frames and each one picks again, so a head away from the middle stays selected only for the
# first frame: the camera turns to it and the head moves away from the pointer. After such a turn
# the head is drawn on the window's vertical centre line (up to the angles' truncation), where it
# now stays, so the blobs nearest that line are tried next.
select_a_head() {
  local clicks=0 order=largest shot before x y
  while [ "$clicks" -lt "$maximumClicks" ]; do
    shot=$(screenshot "blobs_$clicks")
    before=$(overlay_line 1 "$shot")
    local turned=""
    while read -r x y; do
      clicks=$((clicks + 1))
      note "clicking the round blob at $x,$y"
      click_at "$x" "$y"
      poll_for 1 line4_matches "$selectedLine" && return 0
      if [ "$(overlay_line 1)" != "$before" ]; then
        note "the camera turned to a head it selected for a moment"
        turned=yes
        break
      fi
    done < <(disc_centres "$shot" "$(dominant_colour "$shot")" "$order" | head -n 6)
    [ -n "$turned" ] || return 1
    order=middle
  done
  return 1
}

# aimed_at_head FILE: the camera, still at the origin, is turned towards the selected head: the
# heading and the elevation of the head's position on line 4 (whole units, so give or take one)
# are the yaw and pitch on line 1.
aimed_at_head() {
  local head angles expected
  head=$(overlay_line 4 "$1" | sed -E 's/^Selected funnie at (.*)\.$/\1/')
  angles=$(overlay_line 1 "$1" | sed -E 's/^XR: (-?[0-9]+) YR: (-?[0-9]+)$/\1 \2/')
  expected=$(echo "$head" | awk '{
    units = 128 / atan2(0, -1) # binary angle units per radian
    yaw = atan2($1, $3) * units; if (yaw < 0) yaw += 256
    pitch = atan2($2, sqrt($1 * $1 + $3 * $3)) * units
    printf "%.2f %.2f", pitch, yaw }')
  note "head at $head: pitch and yaw $angles, the head's direction $expected"
  echo "$angles $expected" | awk '{
    dyaw = $2 - $4; if (dyaw > 128) dyaw -= 256; if (dyaw < -128) dyaw += 256
    exit !($1 - $3 <= 1.5 && $3 - $1 <= 1.5 && dyaw <= 1.5 && dyaw >= -1.5) }' ||
    fail "the camera (pitch and yaw $angles) is not turned to the head at $head ($expected)"
}

start_running
sleep 3 # the swarm spreads out, so that heads stand apart
centre_pointers
xdotool keydown p
sleep 0.5
select_a_head || fail "no click on a round blob selected a funnie (see the blobs_* screenshots)"
note "$(overlay_line 4 "$(screenshot selected)")"

sleep 0.5
tracking=$(screenshot tracking)
expect_line 4 "$selectedLine" "$tracking" # kept with the button up
aimed_at_head "$tracking"
read -r sky_x sky_y < <(sky_point "$tracking" "$(dominant_colour "$tracking")") ||
  fail "no empty sky in $tracking to click on"
note "clicking the empty sky at $sky_x,$sky_y"
click_at "$sky_x" "$sky_y"
wait_for "the selection to be cleared" 3 line4_matches '^$'
xdotool keyup p
pass
