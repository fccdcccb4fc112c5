#!/usr/bin/env bash
# The swarm spreads from the origin into circles and single-pixel particles over the blue
# background and keeps moving; while P is held the picture below the overlay stands still.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

# isolated_pixels FILE GEOMETRY "r,g,b": pixels not in that colour whose eight neighbours all are,
# as a particle drawn over the background shows.
isolated_pixels() {
  background_mask "$@" "$E2E_DIR/mask.png"
  convert "$E2E_DIR/mask.png" -morphology HitAndMiss '3x3:0,0,0,0,1,0,0,0,0' "$E2E_DIR/specks.png"
  white_pixels "$E2E_DIR/specks.png"
}

readonly minimumParticles=200
readonly minimumChange=100

# Sets SPREAD to a fresh screenshot and SCENE and PARTICLES to what it shows below the overlay.
read_spread() {
  SPREAD=$(screenshot spread)
  SCENE=$(non_background_pixels "$SPREAD" "$region" "$startBackground")
  PARTICLES=$(isolated_pixels "$SPREAD" "$region" "$startBackground")
}

spread_out() {
  read_spread
  [ "$SCENE" -gt "$minimumScenePixels" ] && [ "$PARTICLES" -ge "$minimumParticles" ]
}

# moved_since FILE: a fresh screenshot differs from FILE below the overlay by enough pixels.
moved_since() {
  CHANGED=$(differing_pixels "$1" "$(screenshot later)" "$region")
  [ "$CHANGED" -gt "$minimumChange" ]
}

start_running
region=$(below_overlay)
poll_for 15 spread_out ||
  fail "the swarm did not spread: $SCENE scene pixels, $PARTICLES single-pixel particles"
note "$SCENE pixels below the overlay differ from the background, $PARTICLES single pixels"

wait_for "the swarm to move on" 5 moved_since "$SPREAD"
note "$CHANGED pixels changed since"

xdotool keydown p
wait_for "the paused picture to stand still" 5 stands_still
sleep 1 # held for a while longer, and the picture must not move at all meanwhile
changed=$(differing_pixels "$PAUSED" "$(screenshot paused_later)" "$region")
xdotool keyup p
[ "$changed" -eq 0 ] || fail "$changed pixels changed below the overlay while P was held"
pass
