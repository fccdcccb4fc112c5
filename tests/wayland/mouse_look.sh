#!/usr/bin/env bash
# The program under Xwayland: the mode dialog comes up, Return gives the 640x480 window, a
# right-button drag made through the compositor turns the view by exactly the motion (one unit a
# pixel) while the X pointer stays where the drag began, and Escape ends the program with status
# 0 and nothing printed.
# shellcheck source=wayland_lib.sh
source "$(dirname "$0")/wayland_lib.sh"

readonly dragMoves=20
readonly dragDx=5
readonly dragDy=2
# The library puts the X pointer back on its own pointer up to 2 s after the mickeys were last
# read: the pointer has to stay put for longer than that after the release.
readonly settleMs=2500

# The X pointer as "x y" on the screen, as Xwayland has it.
x_pointer() { xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | paste -sd ' '; }

x_pointer_is() { [ "$(x_pointer)" = "$1" ]; }

# Samples the X pointer as "milliseconds x y" lines in pointer.txt, from now until it is stopped,
# so that the drag keeps a mouse's pace while the pointer is watched. Each sample is one xdotool
# call and no other process, for as many samples as the machine allows.
start_watching_pointer() {
  (
    local name value x y micros
    while :; do
      while IFS='=' read -r name value; do
        case $name in
        X) x=$value ;;
        Y) y=$value ;;
        esac
      done < <(xdotool getmouselocation --shell)
      micros=${EPOCHREALTIME//[.,]/}
      echo "${micros:0:-3} $x $y"
      sleep 0.02
    done
  ) >"$E2E_DIR/pointer.txt" &
  WATCHER_PID=$!
  STARTED_PIDS+=("$WATCHER_PID")
}

# pointer_kept FROM TO SLACK_X SLACK_Y WHEN: every sample from FROM to TO (milliseconds) has the
# X pointer where the drag began, give or take the slack, and there are at least minimumSamples
# of them; says how many were off the start.
readonly minimumSamples=3
pointer_kept() {
  local report
  report=$(awk -v from="$1" -v to="$2" -v sx="${start% *}" -v sy="${start#* }" -v slackX="$3" \
    -v slackY="$4" '$1 >= from && $1 <= to {
      count++; dx = $2 - sx; dy = $3 - sy
      if (dx < -slackX || dx > slackX || dy < -slackY || dy > slackY) {
        print "strayed " $2 " " $3 " at " $1 " ms"; exit }
      if (dx != 0 || dy != 0) { off++ }
    } END { print count + 0, off + 0 }' "$E2E_DIR/pointer.txt")
  [[ $report != strayed* ]] ||
    fail "$5 the X pointer was at ${report#strayed }, too far from $start where the drag began"
  local count=${report% *} off=${report#* }
  [ "$count" -ge "$minimumSamples" ] || fail "only $count samples of the X pointer $5"
  note "$5: the X pointer at $start in $((count - off)) of $count samples, $off within ($3,$4)"
}

# The drag, as a mouse gives it: the right button down, held for the program's polling to see
# it (the pass that sees the press only arms mouse look), moves 30 ms apart, the button up. Sets
# PRESSED_MS and RELEASED_MS.
drag() {
  local i
  PRESSED_MS=$(now_ms)
  pointer_command press right
  sleep 0.1
  for ((i = 1; i <= dragMoves; i++)); do
    sleep 0.03
    pointer_command move "$dragDx" "$dragDy"
  done
  sleep 0.1
  pointer_command release right
  RELEASED_MS=$(now_ms)
}

# One unit of yaw and pitch a pixel; moving right turns left and moving down looks down.
readonly turned="XR: $((-dragMoves * dragDy)) YR: $((-dragMoves * dragDx))"
turned_by_drag() { [ "$(overlay_line 1)" = "$turned" ]; }

start_running
expect_line 1 '^XR: 0 YR: 0$' "$FRAME"
focus_window
start="$((WIN_X + WIN_W / 2)) $((WIN_Y + WIN_H / 2))"
wait_for "the X pointer at $start" 5 x_pointer_is "$start"
before=$(pointer_position "$(screenshot before_drag)") || before=""
start_watching_pointer
# shellcheck disable=SC2016 # expanded by eval at every poll
wait_for "$minimumSamples samples of the X pointer" 5 \
  eval '[ "$(wc -l <"$E2E_DIR/pointer.txt")" -ge "$minimumSamples" ]'

drag
wait_for "overlay line 1 to show '$turned'" 3 turned_by_drag
note "after $dragMoves moves of ($dragDx,$dragDy) in $((RELEASED_MS - PRESSED_MS)) ms: $turned"
# shellcheck disable=SC2016 # expanded by eval at every poll
wait_for "the samples of ${settleMs} ms after the release" 10 \
  eval '[ "$(tail -n 1 "$E2E_DIR/pointer.txt" | cut -d" " -f1)" -gt $((RELEASED_MS + settleMs)) ]'
stop_process "$WATCHER_PID"
pointer_kept 0 "$PRESSED_MS" 0 0 "before the drag"
# The program puts the pointer back once it has seen a move: a sample may catch one move.
pointer_kept "$PRESSED_MS" "$RELEASED_MS" "$dragDx" "$dragDy" "during the drag"
pointer_kept "$RELEASED_MS" $((RELEASED_MS + settleMs)) 0 0 "after the drag"

shot=$(screenshot after_drag)
expect_line 1 "^$turned\$" "$shot"
after=$(pointer_position "$shot") || after=""
[ "$after" = "$before" ] ||
  fail "the program drew its pointer at '${before:-nowhere}' before the drag, '${after:-nowhere}' after"
note "the program's pointer drawn at ${after:-nowhere} before and after"

press_key Escape 0.3
wait_for_exit 10
check_quiet
pass
