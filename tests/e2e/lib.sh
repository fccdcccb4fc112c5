# shellcheck shell=bash
# Shared steps of the end-to-end scenarios: a private virtual X server, the program under a time
# bound, its window, input held long enough for the program's polling to see it, screenshots and
# colour statistics. Everything a scenario starts is ended by the EXIT trap, pass or fail.
#
# A scenario sources this file and is run as: SCENARIO.sh FUNNIES SEND_CLOSE READ_OVERLAY
# With E2E_KEEP=1 the screenshots and logs are kept (they are always kept on failure).

set -euo pipefail

FUNNIES=${1:?usage: $0 FUNNIES SEND_CLOSE READ_OVERLAY}
# shellcheck disable=SC2034 # used by the scenarios that source this file
SEND_CLOSE=${2:?usage: $0 FUNNIES SEND_CLOSE READ_OVERLAY}
READ_OVERLAY=${3:?usage: $0 FUNNIES SEND_CLOSE READ_OVERLAY}

# Seconds for the whole scenario and for the program before timeout ends it; a longer scenario
# sets E2E_SCENARIO_LIMIT and E2E_PROGRAM_LIMIT before sourcing this file.
readonly scenarioTimeLimit=${E2E_SCENARIO_LIMIT:-75}
readonly programTimeLimit=${E2E_PROGRAM_LIMIT:-60}
readonly dialogWidth=320
readonly dialogHeight=200
readonly modeWidth=640 # the dialog's first choice, taken with Return
readonly modeHeight=480
readonly overlayHeight=40 # four text lines, 10 pixels apart
readonly startBackground="0,0,64"

E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/funnies-e2e.XXXXXX")
STARTED_PIDS=()
PROGRAM_ENV=() # NAME=VALUE settings for the program alone
PROGRAM_PID=""
WINDOW=""

note() { echo "  $*"; }

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Ends a process this scenario started: TERM, then KILL if it is still there after 3 s.
stop_process() {
  local pid=$1
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local status=$?
  trap - EXIT TERM INT
  # A scenario may end more than its processes first (Wine's server, before the X server).
  if declare -F before_cleanup >/dev/null; then
    before_cleanup
  fi
  local i
  for ((i = ${#STARTED_PIDS[@]} - 1; i >= 0; i--)); do
    stop_process "${STARTED_PIDS[i]}"
  done
  if [ "$status" -eq 0 ] && [ -z "${E2E_KEEP:-}" ]; then
    rm -rf "$E2E_DIR"
  else
    echo "  screenshots and logs: $E2E_DIR"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'fail "interrupted (time limit of ${scenarioTimeLimit}s?)"' TERM INT
# The watchdog ends its own sleep when it is stopped, and its output goes nowhere, so that a test
# runner waiting for the end of ours does not wait for it.
(
  trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
  sleep "$scenarioTimeLimit" &
  sleeper=$!
  wait "$sleeper" && kill -TERM $$ 2>/dev/null
) >/dev/null 2>&1 &
STARTED_PIDS+=($!)

# shellcheck source=tests/e2e/display.sh
source "$(dirname "${BASH_SOURCE[0]}")/display.sh"

# Starts the program under a time bound, through E2E_EMULATOR if that is set (a program built for
# another architecture); its output goes to files for check_quiet.
start_program() {
  local emulator=()
  [ -n "${E2E_EMULATOR:-}" ] && emulator=("$E2E_EMULATOR")
  timeout -k 3 "$programTimeLimit" env "${PROGRAM_ENV[@]}" "${emulator[@]}" "$FUNNIES" \
    >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
}

program_running() { kill -0 "$PROGRAM_PID" 2>/dev/null; }

# The program's own process id: PROGRAM_PID is timeout's.
program_pid() { pgrep -P "$PROGRAM_PID" -x funnies; }

# screenshot NAME: the window's picture as $E2E_DIR/NAME.png; prints the file name.
screenshot() {
  local file="$E2E_DIR/$1.png"
  read_geometry
  import -window root -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$file"
  echo "$file"
}

# The dialog is black and white, both; before it is drawn the window is one colour, or under Wine
# whatever lay behind it.
dialog_drawn() {
  [ "$(histogram "$(screenshot dialog)" | awk '{ print $2 }' | sort | tr '\n' ' ')" = \
    "000000 FFFFFF " ]
}

# Starts the program and waits for its dialog's window, at the dialog's size; sets WINDOW.
start_to_dialog_window() {
  start_program
  wait_for "the program's window" 15 window_found
  wait_for "a ${dialogWidth}x${dialogHeight} dialog window" 10 \
    window_has_size "$dialogWidth" "$dialogHeight"
}

# Starts the program and waits for its mode dialog; sets WINDOW.
start_at_dialog() {
  start_display
  start_to_dialog_window
  focus_window
  wait_for "the mode dialog to be drawn" 10 dialog_drawn
}

# The dialog's OK button, in its 320x200 window.
readonly okButtonX=265
readonly okButtonY=132

# click_at X Y: a left click at that point of the window, held long enough for polling to see.
click_at() {
  focus_window
  pointer_to "$1" "$2"
  sleep 0.1
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}

# The dialog's OK button, which does not depend on the keyboard focus: the dialog's focus
# follows the library's own pointer, which need not be where the X pointer is.
click_ok() { click_at "$okButtonX" "$okButtonY"; }

# driver_selected Y: the driver list's row whose middle is at height Y, 8 pixels high, is drawn
# inverted (mostly black), as the selected row is.
driver_selected() {
  convert "$(screenshot drivers)" -crop "100x6+20+$(($1 - 3))" +repage -colorspace Gray \
    -format '%[fx:mean < 0.4]' info: | grep -qx 1
}

# select_driver NAME Y: clicks the driver list's row at height Y until it shows selected. A click
# selects the row whichever list has the keyboard focus: keys would go to whichever list the
# library's pointer last passed over, and CI once saw Down presses move the resolution list
# instead.
readonly driverRowX=60
select_driver() {
  local attempt
  for attempt in 1 2 3; do
    click_at "$driverRowX" "$2"
    poll_for 3 driver_selected "$2" && return 0
    note "the dialog missed the click (attempt $attempt)"
    screenshot "missed_$attempt" >/dev/null
  done
  fail "$1 did not get selected"
}

# The dialog as it was drawn, in its place: a press it did not see. Anything else is the mode
# being set, which can take seconds on a loaded machine (under Wine, CI once found the window off
# the desktop, at a negative place, 4 s after Return), and a click then would land on whatever the
# window is becoming.
dialog_unchanged() {
  window_has_size "$dialogWidth" "$dialogHeight" && [ "$WIN_X" -ge 0 ] && [ "$WIN_Y" -ge 0 ] &&
    dialog_drawn
}

# confirm_dialog COMMAND...: Return, the way a user takes the dialog's choice, until COMMAND
# shows that the dialog took it. On a loaded machine the dialog now and then misses the key:
# then, while it is still shown unchanged, its OK button is clicked, up to twice. The X windows
# seen when it had changed without COMMAND's condition are kept in switching.txt.
confirm_dialog() {
  local attempt
  press_key Return
  for attempt in 2 3; do
    poll_for 4 "$@" && return 0
    if ! dialog_unchanged; then
      xwininfo -root -tree >"$E2E_DIR/switching.txt" 2>&1 || true
      break
    fi
    screenshot "dialog_missed_$((attempt - 1))" >/dev/null
    note "the dialog missed the press; clicking OK (attempt $attempt)"
    click_ok
  done
  wait_for "the dialog's choice to be taken" 20 "$@"
}

# Return takes the dialog's first choice, a 640x480 window; waits for a frame with the blue
# background dominant (kept as FRAME). Half a second after the start the swarm, spreading from
# the camera's position, briefly fills the picture.
choose_default_mode() {
  confirm_dialog window_has_size "$modeWidth" "$modeHeight"
  wait_for "the ${modeWidth}x${modeHeight} window" 1 window_has_size "$modeWidth" "$modeHeight"
  focus_window
  wait_for "the first frames" 10 background_is "$startBackground"
}

# Up to the running program, its pointer parked out of the way.
start_running() {
  start_at_dialog
  choose_default_mode
  park_pointer
}

# The library draws its own pointer, which follows the relative motion of the X pointer. Moving
# far past the bottom-right corner several times leaves it clamped in the corner, where it
# covers at most a pixel of the picture.
park_pointer() {
  for _ in 1 2 3; do
    pointer_to $((WIN_W / 2)) $((WIN_H / 2))
    sleep 0.05
    pointer_to $((WIN_W - 1)) $((WIN_H - 1))
    sleep 0.05
  done
}

# move_pointer_by DX DY [STEP]: moves the X pointer relatively, in steps of at most STEP pixels
# (default 30): small enough for mouse look, which puts the pointer back where the drag began, to
# keep it inside the window, and slow enough for the program to read the motion between them.
move_pointer_by() {
  local dx=$1 dy=$2 step=${3:-30} i
  local steps=$(((${dx#-} > ${dy#-} ? ${dx#-} : ${dy#-}) / step + 1))
  for ((i = 1; i <= steps; i++)); do
    xdotool mousemove_relative -- $((dx * i / steps - dx * (i - 1) / steps)) \
      $((dy * i / steps - dy * (i - 1) / steps))
    sleep 0.03
  done
}

# drag_right DY: moves the pointer DY pixels down (up if negative) with the right button held.
drag_right() {
  xdotool mousedown 3
  sleep 0.1
  move_pointer_by 0 "$1" 10
  sleep 0.1
  xdotool mouseup 3
}

# hex_to_rgb RRGGBB: prints "r,g,b" in decimal.
hex_to_rgb() { printf '%d,%d,%d' "0x${1:0:2}" "0x${1:2:2}" "0x${1:4:2}"; }

# histogram FILE [GEOMETRY]: "count rrggbb" lines, most frequent colour first.
histogram() {
  local crop=()
  [ -n "${2:-}" ] && crop=(-crop "$2" +repage)
  convert "$1" "${crop[@]}" -format '%c' histogram:info:- |
    sed -nE 's/^ *([0-9]+):.*#([0-9A-Fa-f]{6}).*/\1 \2/p' | sort -rn
}

# dominant_colour FILE [GEOMETRY]: the most frequent colour as "r,g,b".
dominant_colour() { hex_to_rgb "$(histogram "$@" | awk 'NR == 1 { print $2 }')"; }

# background_mask FILE GEOMETRY "r,g,b" OUT: the region in black where it shows that colour and
# in white elsewhere.
background_mask() {
  convert "$1" -crop "$2" +repage -fill white +opaque "rgb($3)" -fill black -opaque "rgb($3)" \
    -colorspace Gray "$4"
}

white_pixels() { convert "$1" -format '%[fx:round(mean*w*h)]' info:; }

# non_background_pixels FILE GEOMETRY "r,g,b": the pixels of the region not in that colour.
non_background_pixels() {
  background_mask "$@" "$E2E_DIR/mask.png"
  white_pixels "$E2E_DIR/mask.png"
}

# The picture below the overlay, where the scene shows unobstructed.
below_overlay() { echo "${WIN_W}x$((WIN_H - overlayHeight))+0+${overlayHeight}"; }

# differing_pixels A B [GEOMETRY]: how many pixels of the two pictures differ.
differing_pixels() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  convert "$1" "${crop[@]}" "$E2E_DIR/a.png"
  convert "$2" "${crop[@]}" "$E2E_DIR/b.png"
  compare -metric AE "$E2E_DIR/a.png" "$E2E_DIR/b.png" null: 2>&1 || true
}

# stands_still: two screenshots a few frames apart are the same below the overlay, where line 3's
# drawing time cannot change them; PAUSED is the first.
stands_still() {
  PAUSED=$(screenshot paused)
  sleep 0.2
  [ "$(differing_pixels "$PAUSED" "$(screenshot paused_again)" "$(below_overlay)")" -eq 0 ]
}

readonly minimumScenePixels=2000 # of a 640x480 picture once the swarm has spread out

# The swarm starts at the camera, too near to be drawn, and spreads out into view; sets SHOT and
# SCENE, the pixels below the overlay that are not background, from a fresh screenshot.
swarm_drawn() {
  SHOT=$(screenshot swarm)
  [ "$(dominant_colour "$SHOT")" = "$startBackground" ] || return 1
  SCENE=$(non_background_pixels "$SHOT" "$(below_overlay)" "$startBackground")
  [ "$SCENE" -ge "$minimumScenePixels" ]
}

readonly pointerWidth=8 # the white fill of the library's arrow
readonly pointerHeight=14

# pointer_position FILE: where the program drew its pointer ("x y"), from the top-left corner of
# its white fill, which is the pointer's hot spot; looked for below the overlay only.
pointer_position() {
  local box
  box=$(convert "$1" -crop "$(below_overlay)" +repage -fill black +opaque white \
    -bordercolor black -border 1 -format '%@' info:) # the border makes black the colour trimmed
  [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  local width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  [ "$width" -ge 1 ] && [ "$width" -le "$pointerWidth" ] && [ "$height" -le "$pointerHeight" ] ||
    return 1
  echo "$((x - 1)) $((y - 1 + overlayHeight))"
}

# near AX AY BX BY TOLERANCE: the two points are at most TOLERANCE pixels apart in x and in y.
near() {
  local dx=$(($1 - $3)) dy=$(($2 - $4))
  [ "${dx#-}" -le "$5" ] && [ "${dy#-}" -le "$5" ]
}

# background_is "r,g,b": a fresh screenshot, kept as FRAME, is dominated by that colour.
background_is() {
  FRAME=$(screenshot frame)
  [ "$(dominant_colour "$FRAME")" = "$1" ]
}

# overlay_lines FILE: the four overlay lines as the picture shows them, one per output line.
overlay_lines() {
  local bmp="${1%.png}.bmp"
  convert "$1" "BMP3:$bmp"
  "$READ_OVERLAY" "$bmp"
}

# overlay_line N [FILE]: overlay line N (1 to 4) of FILE, or of a fresh screenshot.
overlay_line() {
  local file=${2:-$(screenshot overlay)}
  overlay_lines "$file" | sed -n "$1p"
}

# expect_line N PATTERN [FILE]: overlay line N matches the extended regular expression.
expect_line() {
  local text
  text=$(overlay_line "$1" "${3:-}")
  [[ $text =~ $2 ]] || fail "overlay line $1 is '$text', expected to match '$2'"
}

# line4_is TEXT: overlay line 4 of a fresh screenshot is TEXT.
line4_is() { [ "$(overlay_line 4)" = "$1" ]; }

# aimed_at_head FILE: the camera, still at the origin, is turned towards the selected head: the
# heading and the elevation of the head's position on line 4 (whole units, so give or take one)
# are the yaw and pitch on line 1.
aimed_at_head() {
  local head angles expected
  head=$(overlay_line 4 "$1" | sed -E 's/^Selected funnie at (.*)\.$/\1/')
  angles=$(overlay_line 1 "$1" | sed -E 's/^XR: (-?[0-9]+) YR: (-?[0-9]+)$/\1 \2/')
  expected=$(echo "$head" | awk '{
    units = 128 / atan2(0, -1) # binary angle units per radian
    yaw = atan2($1, $3) * units; if (yaw < 0) yaw += 256
    pitch = atan2($2, sqrt($1 * $1 + $3 * $3)) * units
    printf "%.2f %.2f", pitch, yaw }')
  note "head at $head: pitch and yaw $angles, the head's direction $expected"
  echo "$angles $expected" | awk '{
    dyaw = $2 - $4; if (dyaw > 128) dyaw -= 256; if (dyaw < -128) dyaw += 256
    exit !($1 - $3 <= 1.5 && $3 - $1 <= 1.5 && dyaw <= 1.5 && dyaw >= -1.5) }' ||
    fail "the camera (pitch and yaw $angles) is not turned to the head at $head ($expected)"
}

# wait_for_exit SECONDS [STATUS]: waits for the program to end and checks its exit status
# (default 0).
wait_for_exit() {
  local expected=${2:-0}
  wait_for "the program to end" "$1" eval '! program_running'
  local status=0
  wait "$PROGRAM_PID" || status=$?
  [ "$status" -eq "$expected" ] ||
    fail "the program ended with status $status, not $expected (124: killed by timeout)"
}

# The program's stderr (a platform's scenarios may leave out lines of their own: Wine's).
own_stderr() { cat "$E2E_DIR/stderr"; }

# Nothing on stdout or stderr.
check_quiet() {
  [ ! -s "$E2E_DIR/stdout" ] || fail "the program printed on stdout: $(head -c 500 "$E2E_DIR/stdout")"
  local unexpected
  unexpected=$(own_stderr)
  [ -z "$unexpected" ] || fail "the program printed on stderr: $unexpected"
}

# check_failure_line PATTERN: nothing on stdout, and on stderr one line,
# matching the extended regular expression.
check_failure_line() {
  [ ! -s "$E2E_DIR/stdout" ] || fail "the program printed on stdout: $(head -c 500 "$E2E_DIR/stdout")"
  local lines
  lines=$(own_stderr)
  note "stderr: $lines"
  { [ "$(printf '%s\n' "$lines" | wc -l)" -eq 1 ] && [[ $lines =~ $1 ]]; } ||
    fail "expected one line on stderr matching '$1', got: $lines"
}

pass() { echo "PASS: $(basename "$0" .sh)"; }
