#!/usr/bin/env bash
# With no button held the pointer moves freely: small steps take it out of the window like in any
# other program. A quick right-button drag turns the view to the pitch clamp and leaves the pointer
# where the press was, as the X server has it and as the program draws it, also when the first
# moves come within a few milliseconds of the press.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

readonly stepPixels=3
readonly distance=300
readonly dragMoves=20
readonly dragStep=15 # 300 pixels in all, far more than the 63 mickeys to the pitch clamp
# Left to hold the pointer itself, the library puts the X pointer where its own pointer is up to
# 2 s after the mickeys were last read: the pointer has to stay put for longer than that.
readonly settleMs=2500

pointer_y() { xdotool getmouselocation --shell | sed -n 's/^Y=//p'; }

# The X pointer as "x y" on the screen.
x_pointer() { xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | paste -sd ' '; }

# drawn_at X Y: a fresh screenshot shows the program's pointer at that point of the window.
drawn_at() {
  local x y
  read -r x y < <(pointer_position "$(screenshot drawn)") && [ "$x $y" = "$1 $2" ]
}

# quick_drag STEP BURST: the right button down, then dragMoves moves by STEP pixels vertically,
# 30 ms apart, and after 0.2 s the button up. The first BURST moves go out in the same xdotool
# call as the press, within a few milliseconds of it; with BURST 0 the first waits 30 ms.
quick_drag() {
  local burst=() i
  for ((i = 0; i < $2; i++)); do
    burst+=(mousemove_relative -- 0 "$1")
  done
  xdotool mousedown 3 "${burst[@]}"
  for ((i = $2; i < dragMoves; i++)); do
    sleep 0.03
    xdotool mousemove_relative -- 0 "$1"
  done
  sleep 0.2
  xdotool mouseup 3
}

pitch_is() { [[ $(overlay_line 1) =~ ^XR:\ $1\ YR: ]]; }

# drag_keeps_pointer STEP BURST PITCH: a quick drag from the window's middle turns the view to
# PITCH, and afterwards the pointer is where the press was.
drag_keeps_pointer() {
  local x=$((WIN_W / 2)) y=$((WIN_H / 2)) at
  local onScreen="$((WIN_X + x)) $((WIN_Y + y))"
  xdotool mousemove --window "$WINDOW" "$x" "$y"
  wait_for "the program's pointer at $x,$y before the press" 5 drawn_at "$x" "$y"
  quick_drag "$1" "$2"
  wait_for "the view to turn to pitch $3" 3 pitch_is "$3"
  local deadline=$(($(now_ms) + settleMs))
  while [ "$(now_ms)" -lt "$deadline" ]; do
    at=$(x_pointer)
    [ "$at" = "$onScreen" ] ||
      fail "after the drag by $1 ($2 moves with the press) the X pointer is at $at, not $onScreen"
    sleep 0.1
  done
  wait_for "the program's pointer at $x,$y after the drag" 5 drawn_at "$x" "$y"
  note "drag by $1 with $2 moves at the press: pitch $3, pointer kept at $x,$y"
}

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

drag_keeps_pointer "-$dragStep" 0 63
drag_keeps_pointer "$dragStep" 3 -63
pass
