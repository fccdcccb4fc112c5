#!/usr/bin/env bash
# A mode the virtual X server cannot give: the last driver of the dialog's list, DGA 2.0, needs an
# X extension that Xvfb does not have, so the program ends with status 1 and says why in one line.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

# The driver list's last row, 8 pixels high, drawn inverted (mostly black) when selected.
readonly lastDriverRow="100x6+20+99"

last_driver_selected() {
  convert "$(screenshot drivers)" -crop "$lastDriverRow" +repage -colorspace Gray \
    -format '%[fx:mean < 0.4]' info: | grep -qx 1
}

start_at_dialog
# The driver list has the focus; Down stops at its end, so a press the dialog misses is harmless.
for _ in $(seq 6); do
  press_key Down
  sleep 0.1
done
wait_for "DGA 2.0 to be selected" 5 last_driver_selected
press_key Return
wait_for_exit 10 1
check_failure_line '^funnies: cannot set the [0-9]+x[0-9]+ mode at [0-9]+ bits per pixel with the DGA 2\.0 driver: .+$'
pass
