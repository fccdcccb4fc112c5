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
      wait_for_quietly 1 line4_matches "$selectedLine" && return 0
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

start_running
sleep 3 # the swarm spreads out, so that heads stand apart
centre_pointers
xdotool keydown p
sleep 0.5
select_a_head || fail "no click on a round blob selected a funnie (see the blobs_* screenshots)"
note "$(overlay_line 4 "$(screenshot selected)")"

sleep 0.5 # the camera turns to the selected head
tracking=$(screenshot tracking)
sky=$(sky_point "$tracking" "$(dominant_colour "$tracking")")
[ -n "$sky" ] || fail "no empty sky in $tracking to click on"
note "clicking the empty sky at ${sky/ /,}"
click_at $sky
wait_for "the selection to be cleared" 3 line4_matches '^$'
xdotool keyup p
pass
