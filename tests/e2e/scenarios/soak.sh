#!/usr/bin/env bash
# Soak: the program runs under scripted random input (movement keys, Space, P, right-button
# drags of all sizes, left clicks anywhere, the pointer leaving the window) for SOAK_SECONDS
# (default 20), then Escape must end it with status 0. Resident memory, sampled once a second
# once the particles have reached their steady count, must stay flat. With E2E_FRAME_COUNTER
# naming the frame counter library, the frames shown are counted too. SOAK_CHECK_MEMORY=0 leaves
# out the memory check, for a sanitizer build: AddressSanitizer holds freed memory back in a
# quarantine of up to 256 MB, and its leak check at exit takes the check's place.
readonly soakSeconds=${SOAK_SECONDS:-20}
export E2E_PROGRAM_LIMIT=$((soakSeconds + 40)) E2E_SCENARIO_LIMIT=$((soakSeconds + 60))
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

# Polling can miss a short click too: the button is held 0.1 s.
click_left() {
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}

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

frameCountFile="$E2E_DIR/frames"
if [ -n "${E2E_FRAME_COUNTER:-}" ]; then
  # The counter is preloaded ahead of a sanitizer runtime too, which would otherwise refuse it.
  PROGRAM_ENV=(LD_PRELOAD="$E2E_FRAME_COUNTER" FUNNIES_FRAME_COUNT_FILE="$frameCountFile"
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0")
fi

launchedAt=$(date +%s)
start_running
program=$(program_pid) || fail "no funnies process under timeout"
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
check_quiet
ranFor=$(($(date +%s) - launchedAt))
note "soak ${soakSeconds}s: resident memory at steady state ${baseline} kB, peak ${peak} kB, final ${final} kB"
if [ -s "$frameCountFile" ]; then
  frames=$(cat "$frameCountFile")
  note "frames shown: ${frames}, about $((frames / (ranFor > 0 ? ranFor : 1))) a second from launch to exit"
fi
[ "${SOAK_CHECK_MEMORY:-1}" = 0 ] || [ $((final - baseline)) -le "$allowedGrowthKb" ] || fail "resident memory grew from ${baseline} to ${final} kB"
pass
