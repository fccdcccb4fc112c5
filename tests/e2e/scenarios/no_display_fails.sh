#!/usr/bin/env bash
# Without a usable display, unset or naming a display where no server listens, the program ends
# with status 1 and one line on stderr naming itself and the reason.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

# A display number with no server behind it.
free_display() {
  local n
  for n in $(seq 57 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo ":$n"; return 0; }
  done
  return 1
}

absent=$(free_display) || fail "no free display number"
for setting in unset absent; do
  case $setting in
  unset) PROGRAM_ENV=(-u DISPLAY) ;;
  absent) PROGRAM_ENV=(DISPLAY="$absent") ;;
  esac
  note "DISPLAY $setting"
  start_program
  wait_for_exit 10 1
  check_failure_line '^funnies: cannot start the Allegro library: .+$'
done
pass
