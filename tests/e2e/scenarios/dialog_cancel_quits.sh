#!/usr/bin/env bash
# Escape in the mode dialog cancels it: the program ends with status 0, printing nothing of its
# own, and never opens the 640x480 window.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

start_at_dialog
press_key Escape
wait_for_exit 10
check_quiet
pass
