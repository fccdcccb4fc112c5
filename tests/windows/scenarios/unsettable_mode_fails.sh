#!/usr/bin/env bash
# Under Wine: a mode the driver cannot give. Wine's DirectDraw has no overlays, so the "DirectDraw
# overlay" driver, the eighth row of the dialog's driver list, fails: the program says why in one
# line, on stderr and in a message box titled "funnies", and ends with status 1 once the box is
# dismissed.
# shellcheck source=../wine_lib.sh
source "$(dirname "$0")/../wine_lib.sh"

readonly overlayDriverY=110 # the middle of the driver list's eighth row

# The box: a window named as the program, with no client area of the library's inside.
box_shown() {
  BOX=$(xdotool search --onlyvisible --name '^funnies$' 2>/dev/null | head -n 1) && [ -n "$BOX" ] &&
    xwininfo -children -id "$BOX" | grep -q '^ *0 children'
}

# Return on the box, then its OK button, in the middle of its bottom row, if it missed the key.
dismiss_box() {
  local width height
  read -r width height < <(xwininfo -id "$BOX" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 }
    END { print w, h }')
  xdotool windowfocus "$BOX"
  press_key Return
  poll_for 3 eval '! program_running' && return 0
  note "the box missed Return; clicking OK"
  xdotool mousemove --window "$BOX" $((width / 2)) $((height - okButtonAboveBottom))
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}
readonly okButtonAboveBottom=25

start_at_dialog
select_driver "DirectDraw overlay" "$overlayDriverY"
confirm_dialog box_shown
wait_for "the message box" 5 box_shown
screenshot_root message_box >/dev/null
program_running || fail "the program ended before its message box was dismissed"
dismiss_box
wait_for_exit 10 1
check_failure_line '^funnies: cannot set the 640x480 mode at 32 bits per pixel with the DirectDraw overlay driver: Overlays not supported$'
pass
