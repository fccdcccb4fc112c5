#!/usr/bin/env bash
# Under Wine: with P held, a left click on a funnie's head seen in the picture selects it:
# overlay line 4 shows its head and the camera turns to it. The window's close button, in Wine's
# title bar, then ends the program with status 0, printing nothing.
# shellcheck source=../wine_lib.sh
source "$(dirname "$0")/../wine_lib.sh"

readonly offCentre=60  # pixels from the middle at least, so that the camera visibly turns
readonly apart=50      # pixels between two candidates, so that they lie on different funnies
readonly candidates=10
readonly minimumDepth=4 # pixels from the disc's middle to its edge, at least

# Points "x y" deep inside one colour other than the sky's below the overlay, the deepest first.
# Every circle is drawn in one colour, and a head is the largest circle of its funnie, so the
# points farthest from the sky and from any change of colour are the middles of the largest heads
# in full view. The distance is the 3-4 chamfer distance, in two passes over the picture.
head_candidates() {
  convert "$1" -crop "$(below_overlay)" +repage -compress none ppm:- | tr -s '[:space:]' '\n' |
    awk -v top="$overlayHeight" -v away="$offCentre" -v depth="$minimumDepth" \
      -v sky=",$startBackground" '
    NR == 2 { w = $1 } NR == 3 { h = $1 } NR <= 4 { next }
    { c[int(n / 3)] = c[int(n / 3)] "," $1; n++ }
    function at(x, y) { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : d[y * w + x] }
    function low(a, b) { return a < b ? a : b }
    END {
      for (y = 0; y < h; y++) for (x = 0; x < w; x++) {
        p = y * w + x
        edge = c[p] == sky || x == 0 || y == 0 || x == w - 1 || y == h - 1 || c[p] != c[p - 1] ||
          c[p] != c[p - w] || c[p] != c[p + 1] || c[p] != c[p + w]
        d[p] = edge ? 0 : 1e9
      }
      for (y = 0; y < h; y++) for (x = 0; x < w; x++) if (d[y * w + x]) {
        m = d[y * w + x]
        m = low(m, at(x - 1, y) + 3); m = low(m, at(x, y - 1) + 3)
        m = low(m, at(x - 1, y - 1) + 4); m = low(m, at(x + 1, y - 1) + 4)
        d[y * w + x] = m
      }
      for (y = h - 1; y >= 0; y--) for (x = w - 1; x >= 0; x--) if (d[y * w + x]) {
        m = d[y * w + x]
        m = low(m, at(x + 1, y) + 3); m = low(m, at(x, y + 1) + 3)
        m = low(m, at(x + 1, y + 1) + 4); m = low(m, at(x - 1, y + 1) + 4)
        d[y * w + x] = m
      }
      for (y = 0; y < h; y++) for (x = 0; x < w; x++)
        if (d[y * w + x] >= 3 * depth && (x - w / 2) ^ 2 + (y + top - (h + top) / 2) ^ 2 >= away ^ 2)
          print d[y * w + x], x, y + top
    }' | sort -rn | awk -v apart="$apart" -v n="$candidates" '
    BEGIN { found = 0 } # a subscript of its own, not "", before the first candidate
    { for (i = 0; i < found; i++) if (($2 - cx[i]) ^ 2 + ($3 - cy[i]) ^ 2 < apart ^ 2) next
      cx[found] = $2; cy[found] = $3; found++; print $2, $3; if (found == n) exit }'
}

# A line 4 of the form the tracking writes.
selected() {
  SELECTION=$(overlay_line 4)
  [[ $SELECTION =~ ^Selected\ funnie\ at\ -?[0-9]+\ -?[0-9]+\ -?[0-9]+\.$ ]]
}

# The swarm starts at the camera and fills the picture as it spreads out: wait until it is in
# view and a third of the picture is sky.
swarm_spread() {
  local scene
  scene=$(non_background_pixels "$(screenshot spread)" "$(below_overlay)" "$startBackground")
  [ "$scene" -ge "$minimumScenePixels" ] &&
    [ "$scene" -le $((WIN_W * (WIN_H - overlayHeight) * 2 / 3)) ]
}

start_at_dialog
choose_default_mode
park_pointer
wait_for "the swarm to spread into view" 20 swarm_spread
xdotool keydown p
wait_for "the paused picture to stand still" 5 stands_still
# The button stays down until line 4 shows a selection, so that a slow frame cannot miss it.
# The window is focused once, before: with a focus change before each press, Wine now and then
# lost every one of the ten presses while the right button still worked afterwards.
focus_window
picked=""
while read -r x y; do
  note "clicking at $x,$y"
  pointer_to "$x" "$y"
  sleep 0.1
  xdotool mousedown 1
  poll_for 2 selected && picked="$x,$y"
  xdotool mouseup 1
  [ -z "$picked" ] || break
done < <(head_candidates "$PAUSED")
[ -n "$picked" ] || fail "no click on the largest discs in view selected a funnie"
note "the click at $picked selected: $SELECTION"
sleep 0.5
tracking=$(screenshot tracking)
expect_line 4 "^${SELECTION//./\\.}\$" "$tracking" # kept after the release
aimed_at_head "$tracking"
xdotool keyup p

click_close_button
wait_for_exit 10
check_quiet
pass
