#!/usr/bin/env bash
# A press of the left button on a head away from the middle selects that funnie: overlay line 4
# shows its head, the camera turns to it, and the selection outlasts the press although the head
# has left the pointer. A press on empty sky clears the selection. P is held throughout, so the
# swarm holds still; targets are chosen from what the program itself drew, as the scene spy
# (scene_spy.c, preloaded) reports it, not guessed from pixels.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

[ -n "${E2E_SCENE_SPY:-}" ] || fail "E2E_SCENE_SPY must name the scene spy library"
readonly sceneFile="$E2E_DIR/scene"
PROGRAM_ENV=(LD_PRELOAD="$E2E_SCENE_SPY" FUNNIES_SCENE_FILE="$sceneFile"
  ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0")

readonly pressSeconds=0.3
readonly offCentre=60 # pixels from the middle, at least
readonly margin=1.5   # pixels kept from every disc's edge, so that rounding cannot decide

# The swarm holds still: the spy reports the same heads twice, a few reports apart.
scene_still() {
  local before
  before=$(grep '^head ' "$sceneFile" 2>/dev/null) && [ -n "$before" ] || return 1
  sleep 0.2
  [ "$(grep '^head ' "$sceneFile")" = "$before" ]
}

# The head discs of the last frame shown, as picking sees them: "x y depth radius world_x world_y
# world_z", the radius cut toward zero from its formula.
head_discs() {
  awk -v xscale=$((WIN_W / 2)) '$1 == "head" {
    n = $5; r = int((1 / $4) * int(n / 2) * xscale * (1 - 1 / n))
    print $2, $3, $4, r, $6, $7, $8 }' "$sceneFile"
}

# A target "x y world_x world_y world_z": the pixel nearest the middle of the largest drawn head
# disc lying off the middle, where no head at its depth or nearer reaches.
choose_target() {
  head_discs | awk -v w="$WIN_W" -v h="$WIN_H" -v top="$overlayHeight" -v away="$offCentre" \
    -v margin="$margin" '
    { x[NR] = $1; y[NR] = $2; d[NR] = $3; r[NR] = $4; world[NR] = $5 " " $6 " " $7 }
    END {
      best = 0
      for (i = 1; i <= NR; i++) {
        px = int(x[i] + 0.5); py = int(y[i] + 0.5)
        if (r[i] < 6 || r[i] >= w / 8 || px < 2 || px > w - 3 || py < top + 2 || py > h - 3) continue
        if ((px - w / 2) ^ 2 + (py - h / 2) ^ 2 < away ^ 2) continue
        if (sqrt((px - x[i]) ^ 2 + (py - y[i]) ^ 2) >= r[i] - margin) continue
        covered = 0
        for (j = 1; j <= NR; j++)
          if (j != i && d[j] <= d[i] && sqrt((px - x[j]) ^ 2 + (py - y[j]) ^ 2) < r[j] + margin) covered = 1
        if (!covered && r[i] > best) { best = r[i]; target = px " " py " " world[i] }
      }
      if (best) print target
    }'
}

# Points "x y" of a 10-pixel grid lying outside every head disc, the farthest outside first.
clear_of_heads() {
  head_discs | awk -v w="$WIN_W" -v h="$WIN_H" -v top="$overlayHeight" -v margin="$margin" '
    { x[NR] = $1; y[NR] = $2; r[NR] = $4 }
    END {
      for (px = 20; px < w - 20; px += 10)
        for (py = top + 20; py < h - 20; py += 10) {
          clear = 1e9
          for (j = 1; j <= NR; j++) {
            gap = sqrt((px - x[j]) ^ 2 + (py - y[j]) ^ 2) - r[j]
            if (gap < clear) clear = gap
          }
          if (clear >= margin) print clear, px, py
        }
    }' | sort -rn | cut -d" " -f2-
}

# shows_only FILE X Y "r,g,b": the 5x5 pixels around X Y all have that colour.
shows_only() {
  [ "$(convert "$1" -crop "5x5+$(($2 - 2))+$(($3 - 2))" +repage -format '%k %[pixel:p{0,0}]' info:)" = \
    "1 srgb($4)" ]
}

# A point "x y" of empty sky: clear of every head disc, and showing nothing but the background
# (pitch + 64 blue) around it in FILE.
choose_sky() {
  local pitch x y
  pitch=$(overlay_line 1 "$1" | sed -E 's/^XR: (-?[0-9]+) .*/\1/')
  while read -r x y; do
    shows_only "$1" "$x" "$y" "0,0,$((pitch + 64))" && { echo "$x $y"; return 0; }
  done < <(clear_of_heads)
  return 1
}

# The swarm starts around the camera and fills the picture; wait until it has spread so that a
# third of the picture is sky.
spread_out() {
  local shot sky
  shot=$(screenshot spread)
  sky=$(non_background_pixels "$shot" "$(below_overlay)" "$startBackground")
  [ "$sky" -le $((WIN_W * (WIN_H - overlayHeight) * 2 / 3)) ]
}

target_found() { [ -n "$(choose_target)" ]; }

pointer_at() { grep -qx "pointer $1 $2" "$sceneFile"; }

# press_at X Y: the program's pointer brought to X Y, then the left button held for a while.
press_at() {
  xdotool mousemove --window "$WINDOW" "$1" "$2"
  wait_for "the program's pointer at $1,$2" 5 pointer_at "$1" "$2"
  xdotool mousedown 1
  sleep "$pressSeconds"
  xdotool mouseup 1
}

start_running
wait_for "the swarm to spread out" 20 spread_out
xdotool keydown p
wait_for "the paused swarm to hold still" 10 scene_still
wait_for "a head away from the middle to stand clear" 10 target_found
read -r tx ty hx hy hz < <(choose_target)
selected="Selected funnie at $hx $hy $hz."
note "pressing the head drawn at $tx,$ty, of the funnie at $hx $hy $hz"
press_at "$tx" "$ty"
wait_for "line 4 to show the pressed funnie" 5 line4_is "$selected"
sleep 0.5
tracking=$(screenshot tracking)
expect_line 4 "^${selected//./\\.}\$" "$tracking" # kept after the release
aimed_at_head "$tracking"

read -r sx sy < <(choose_sky "$tracking") || fail "no point of empty sky lies clear of every head disc"
note "pressing the empty sky at $sx,$sy"
press_at "$sx" "$sy"
wait_for "the selection to be cleared" 5 line4_is ""
xdotool keyup p
pass
