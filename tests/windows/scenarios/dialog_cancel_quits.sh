#!/usr/bin/env bash
# Under Wine: the mode dialog comes first, in a 320x200 window; Escape cancels it and the program
# ends with status 0, printing nothing.
# shellcheck source=../wine_lib.sh
source "$(dirname "$0")/../wine_lib.sh"

start_at_dialog
press_key Escape
wait_for_exit 10
check_quiet
pass
