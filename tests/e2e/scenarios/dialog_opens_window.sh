#!/usr/bin/env bash
# The mode dialog comes first, in a 320x200 window; Return opens the 640x480 window (the same X
# window, resized) with the pitch-0 blue background and overlay lines 1 to 3 only.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

start_at_dialog
dialog_window=$WINDOW
choose_default_mode
window_found
[ "$WINDOW" = "$dialog_window" ] || fail "the mode window $WINDOW is not the dialog's $dialog_window"
shot=$FRAME
colour=$(dominant_colour "$shot")
[ "$colour" = "$startBackground" ] || fail "dominant colour $colour, expected $startBackground"
expect_line 1 '^XR: 0 YR: 0$' "$shot"
expect_line 2 '^XM: 0\.000000 YM: 0\.000000 ZM: 0\.000000$' "$shot"
expect_line 3 '^Drawing takes [0-9]+ ticks\.$' "$shot"
expect_line 4 '^$' "$shot"
pass
