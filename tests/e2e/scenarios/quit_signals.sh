#!/usr/bin/env bash
# SIGINT and SIGTERM end the program the way Escape does, in the running game and in the mode
# dialog: status 0, nothing printed (no crash, not the library's own shutdown message), and the X
# server left with key auto-repeat on.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

auto_repeat_on() { xset q | grep -Eq 'auto repeat: +on'; }

# end_with SIGNAL WHERE: sends SIGNAL to the program and checks how it ends.
end_with() {
  local pid
  pid=$(program_pid) || fail "no funnies process under timeout"
  note "$1 in the $2"
  kill -s "$1" "$pid"
  wait_for_exit 10
  check_quiet
  auto_repeat_on || fail "key auto-repeat is off after $1 in the $2"
}

start_display
auto_repeat_on || fail "key auto-repeat is off before the program starts"
for signal in INT TERM; do
  start_running
  end_with "$signal" game
  start_at_dialog
  end_with "$signal" "mode dialog"
done
pass
