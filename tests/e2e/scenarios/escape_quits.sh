#!/usr/bin/env bash
# Escape held in the running program ends it with status 0, printing nothing of its own.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

start_running
press_key Escape 0.3
wait_for_exit 10
check_quiet
pass
