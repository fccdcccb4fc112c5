#!/usr/bin/env bash
# A left click on a drawn funnie head selects it (overlay line 4 shows its head's position) and a
# left click on empty sky clears the selection again. P is held throughout so that the picture
# holds still while the pointer is brought to its target.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

readonly selectedLine='^Selected funnie at -?[0-9]+ -?[0-9]+ -?[0-9]+\.$'

line4_matches() { [[ $(overlay_line 4) =~ $1 ]]; }

# click_at X Y: a left click with the program's pointer at X Y.
click_at() {
  move_pointer_to "$1" "$2" || fail "could not bring the program's pointer to $1,$2"
  click_left
}

readonly maximumClicks=14

# where_tracked_head_shows FILE: the point ("x y") where the camera of FILE shows the head it is
# turned to: on the vertical centre line, and off the middle by the difference between the pitch
# and the elevation of the camera's front vector (sin yaw, sin pitch, cos yaw), which is not
# normalised. The angles' truncation leaves it some pixels off.
where_tracked_head_shows() {
  overlay_line 1 "$1" | sed -E 's/^XR: (-?[0-9]+) .*/\1/' |
    awk -v w="$WIN_W" -v h="$WIN_H" '{
      pitch = $1 * atan2(0, -1) / 128; off = pitch - atan2(sin(pitch), 1)
      printf "%d %d", w / 2, h / 2 - (w / 2) * sin(off) / cos(off) }'
}

# select_a_head: clicks blobs until one selects its funnie; a head may lie behind a nearer circle,
# so blobs of any shape are tried. The button is held for many frames and each one picks again,
# so a head away from the middle stays selected only for the first frame: the camera turns to it
# and the head moves away from the pointer, to where the turned camera shows it. The blobs
# nearest that point are tried next.
select_a_head() {
  local clicks=0 shot before x y target=()
  while [ "$clicks" -lt "$maximumClicks" ]; do
    shot=$(screenshot "blobs_$clicks")
    before=$(overlay_line 1 "$shot")
    local turned=""
    while read -r x y; do
      clicks=$((clicks + 1))
      note "clicking the blob at $x,$y"
      click_at "$x" "$y"
      poll_for 1 line4_matches "$selectedLine" && return 0
      if [ "$(overlay_line 1)" != "$before" ]; then
        note "the camera turned to a head it selected for a moment"
        turned=yes
        break
      fi
    done < <(blob_centres "$shot" "$(dominant_colour "$shot")" "${target[@]}")
    [ -n "$turned" ] || return 1
    read -r -a target < <(where_tracked_head_shows "$(screenshot turned)")
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
select_a_head || fail "no click on a blob selected a funnie (see the blobs_* screenshots)"
note "$(overlay_line 4 "$(screenshot selected)")"

sleep 0.5
tracking=$(screenshot tracking)
expect_line 4 "$selectedLine" "$tracking" # kept with the button up
aimed_at_head "$tracking"
cleared=""
while read -r x y; do
  note "clicking the empty sky at $x,$y"
  click_at "$x" "$y"
  if poll_for 2 line4_matches '^$'; then
    cleared=yes
    break
  fi
done < <(sky_points "$tracking" "$(dominant_colour "$tracking")")
[ -n "$cleared" ] || fail "no click on empty sky of $tracking cleared the selection"
xdotool keyup p
pass
