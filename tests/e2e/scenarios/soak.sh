#!/usr/bin/env bash
# Soak: the program runs under scripted random input (movement keys, Space, P, right-button
# drags of all sizes, left clicks anywhere, the pointer leaving the window) for SOAK_SECONDS
# (default 20), then Escape must end it with status 0. Resident memory, sampled once a second
# once the particles have reached their steady count, must stay flat.
readonly soakSeconds=${SOAK_SECONDS:-20}
export E2E_PROGRAM_LIMIT=$((soakSeconds + 40)) E2E_SCENARIO_LIMIT=$((soakSeconds + 60))
source "$(dirname "$0")/../lib.sh"

readonly steadyAfter=5     # seconds: 100 ticks plus start-up, so the particle count is steady
readonly allowedGrowthKb=2048 # heap noise; a leak of one particle per tick grows ~1.4 MB a minute
readonly keys=(w a s d q z space p)

resident_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

random_action() {
  case $((RANDOM % 5)) in
  0 | 1) press_key "${keys[RANDOM % ${#keys[@]}]}" "0.$((RANDOM % 5 + 1))" ;;
  2) drag_right $((RANDOM % 400 - 200)) ;;
  3)
    xdotool mousemove --window "$WINDOW" $((RANDOM % WIN_W)) $((RANDOM % WIN_H))
    click_left
    ;;
  4) xdotool mousemove 1200 1000 && sleep 0.2 && focus_window ;; # leaves the window and back
  esac
}

start_running
program=$(pgrep -P "$PROGRAM_PID" -x funnies) || fail "no funnies process under timeout"
baseline="" peak=0 final=0
startedAt=$(date +%s)
while [ $(($(date +%s) - startedAt)) -lt "$soakSeconds" ]; do
  random_action
  program_running || fail "the program ended during the soak"
  final=$(resident_kb "$program")
  [ "$final" -gt "$peak" ] && peak=$final
  if [ -z "$baseline" ] && [ $(($(date +%s) - startedAt)) -ge "$steadyAfter" ]; then
    baseline=$final
  fi
done
press_key Escape 0.3
wait_for_exit 15
note "soak ${soakSeconds}s: resident memory at steady state ${baseline} kB, peak ${peak} kB, final ${final} kB"
[ $((final - baseline)) -le "$allowedGrowthKb" ] || fail "resident memory grew from ${baseline} to ${final} kB"
pass
