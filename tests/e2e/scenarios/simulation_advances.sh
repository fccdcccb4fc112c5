#!/usr/bin/env bash
# The swarm spreads from the origin into circles and single-pixel particles over the blue
# background and keeps moving; while P is held the picture below the overlay stands still.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

readonly minimumScenePixels=2000
readonly minimumParticles=200
readonly minimumChange=100

start_running
sleep 3
region=$(below_overlay)
spread=$(screenshot spread)
scene=$(non_background_pixels "$spread" "$region" "$startBackground")
note "$scene pixels below the overlay differ from the background"
[ "$scene" -gt "$minimumScenePixels" ] || fail "only $scene pixels of funnies and particles"
particles=$(isolated_pixels "$spread" "$region" "$startBackground")
note "$particles single pixels on the background"
[ "$particles" -ge "$minimumParticles" ] || fail "only $particles single-pixel particles"

sleep 1
later=$(screenshot later)
changed=$(differing_pixels "$spread" "$later" "$region")
note "$changed pixels changed in 1 s"
[ "$changed" -gt "$minimumChange" ] || fail "the picture hardly changed in 1 s ($changed pixels)"

xdotool keydown p
sleep 0.5
paused=$(screenshot paused)
sleep 1
paused_later=$(screenshot paused_later)
xdotool keyup p
changed=$(differing_pixels "$paused" "$paused_later" "$region")
[ "$changed" -eq 0 ] || fail "$changed pixels changed below the overlay while P was held"
pass
