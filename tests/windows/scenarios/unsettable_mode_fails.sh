#!/usr/bin/env bash
# Under Wine: a mode the driver cannot give. Wine's DirectDraw has no overlays, so the "DirectDraw
# overlay" driver, the eighth row of the dialog's driver list, fails; the program ends with status
# 1 and says why in one line.
# shellcheck source=../wine_lib.sh
source "$(dirname "$0")/../wine_lib.sh"

readonly overlayDriverY=110 # the middle of the driver list's eighth row

start_at_dialog
select_driver "DirectDraw overlay" "$overlayDriverY"
confirm_dialog eval '! program_running'
wait_for_exit 10 1
check_failure_line '^funnies: cannot set the 640x480 mode at 32 bits per pixel with the DirectDraw overlay driver: Overlays not supported$'
pass
