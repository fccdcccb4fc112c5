#!/usr/bin/env bash
# The arm64 program under qemu: its mode dialog, then with Return a 640x480 window in which the
# swarm is drawn on the pitch-0 blue background with overlay lines 1 to 3 exact; Escape ends it
# with status 0, printing nothing of its own. Run with E2E_EMULATOR set to qemu.
# shellcheck source=../e2e/lib.sh
source "$(dirname "$0")/../e2e/lib.sh"

start_at_dialog
choose_default_mode
park_pointer
wait_for "the swarm to be drawn on the blue background" 20 swarm_drawn
note "$SCENE pixels below the overlay differ from the background"
expect_line 1 '^XR: 0 YR: 0$' "$SHOT"
expect_line 2 '^XM: 0\.000000 YM: 0\.000000 ZM: 0\.000000$' "$SHOT"
expect_line 3 '^Drawing takes [0-9]+ ticks\.$' "$SHOT"
expect_line 4 '^$' "$SHOT"
press_key Escape 0.3
wait_for_exit 10
check_quiet
pass
