#!/usr/bin/env bash
# The window's close button (WM_DELETE_WINDOW, as a window manager sends it) ends the running
# program with status 0, printing nothing of its own.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

start_running
"$SEND_CLOSE" "$WINDOW" || fail "could not send WM_DELETE_WINDOW to window $WINDOW"
wait_for_exit 10
check_quiet
pass
