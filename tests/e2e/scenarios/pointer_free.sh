#!/usr/bin/env bash
# With no button held the pointer moves freely: small steps take it out of the window like in any
# other program, where reading the mouse for mouse look would pull it back to the middle.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

readonly stepPixels=3
readonly distance=300

pointer_y() { xdotool getmouselocation --shell | sed -n 's/^Y=//p'; }

start_running
xdotool mousemove --window "$WINDOW" $((WIN_W / 2)) $((WIN_H / 2))
sleep 0.2
startY=$(pointer_y)
for ((moved = 0; moved < distance; moved += stepPixels)); do
  xdotool mousemove_relative -- 0 "$stepPixels"
  sleep 0.01
done
endY=$(pointer_y)
note "pointer moved down from y $startY to $endY; the window ends at y $((WIN_Y + WIN_H))"
[ "$endY" -eq $((startY + distance)) ] || fail "the pointer ended at y $endY, not $((startY + distance))"
[ "$endY" -ge $((WIN_Y + WIN_H)) ] || fail "the pointer is still inside the window"
pass
