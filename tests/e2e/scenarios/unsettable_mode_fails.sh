#!/usr/bin/env bash
# A mode the virtual X server cannot give: the last driver of the dialog's list, DGA 2.0, needs an
# X extension that Xvfb does not have, so the program ends with status 1 and says why in one line.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

readonly lastDriverY=102 # the middle of the driver list's last row

start_at_dialog
select_driver "DGA 2.0" "$lastDriverY"
confirm_dialog eval '! program_running'
wait_for_exit 10 1
check_failure_line '^funnies: cannot set the [0-9]+x[0-9]+ mode at [0-9]+ bits per pixel with the DGA 2\.0 driver: .+$'
pass
