#!/usr/bin/env bash
# Under Wine: a mode the driver cannot give. Wine's DirectDraw has no overlays, so the "DirectDraw
# overlay" driver, the eighth row of the dialog's driver list, fails; the program ends with status
# 1 and says why in one line.
# shellcheck source=../wine_lib.sh
source "$(dirname "$0")/../wine_lib.sh"

# The row, 8 pixels high, drawn inverted (mostly black) when selected.
readonly overlayDriverRow="100x6+20+107"
readonly overlayDriverX=60
readonly overlayDriverY=110

overlay_driver_selected() {
  convert "$(screenshot drivers)" -crop "$overlayDriverRow" +repage -colorspace Gray \
    -format '%[fx:mean < 0.4]' info: | grep -qx 1
}

# A click selects the row whichever list has the keyboard focus.
select_overlay_driver() {
  local attempt
  for attempt in 1 2 3; do
    click_at "$overlayDriverX" "$overlayDriverY"
    poll_for 3 overlay_driver_selected && return 0
    note "the dialog missed the click (attempt $attempt)"
    screenshot "missed_$attempt" >/dev/null
  done
  fail "DirectDraw overlay did not get selected"
}

start_at_dialog
select_overlay_driver
confirm_dialog eval '! program_running'
wait_for_exit 10 1
check_failure_line '^funnies: cannot set the 640x480 mode at 32 bits per pixel with the DirectDraw overlay driver: Overlays not supported$'
pass
