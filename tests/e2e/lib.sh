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
readonly pointerWidth=8 # the white fill of the library's arrow
readonly pointerHeight=14
# What Xlib itself prints while the library probes its drivers under Xvfb.
readonly expectedStderr='^Xlib: +extension "XFree86-DGA" missing on display ".*"\.$'

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

now_ms() { date +%s%3N; }

# poll_for SECONDS COMMAND...: polls COMMAND until it succeeds; a failing status after SECONDS.
poll_for() {
  local deadline=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# wait_for DESCRIPTION SECONDS COMMAND...: polls COMMAND until it succeeds, or fails the scenario.
wait_for() {
  local what=$1 seconds=$2
  shift 2
  poll_for "$seconds" "$@" || fail "waited ${seconds}s for $what"
}

# -noreset: by default the server resets whenever its last client leaves, and a client that
# connects during the reset is turned away; with our xdotool and import calls coming and going,
# that sometimes hit the program's own connection at start-up (1 start in 40 or so).
start_display() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_DIR/display" \
    >"$E2E_DIR/xvfb.log" 2>&1 &
  STARTED_PIDS+=($!)
  wait_for "the virtual X server" 10 test -s "$E2E_DIR/display"
  DISPLAY=":$(cat "$E2E_DIR/display")"
  export DISPLAY
  wait_for "the display to answer" 5 xdpyinfo >/dev/null 2>&1
}

# Starts the program under a time bound; its output goes to files for check_quiet.
start_program() {
  timeout -k 3 "$programTimeLimit" env "${PROGRAM_ENV[@]}" "$FUNNIES" \
    >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
}

program_running() { kill -0 "$PROGRAM_PID" 2>/dev/null; }

# The program's pid is timeout's child, so the window is found by its name.
window_found() {
  WINDOW=$(xdotool search --onlyvisible --name '^funnies$' 2>/dev/null | head -n 1) && [ -n "$WINDOW" ]
}

# Sets WIN_X, WIN_Y, WIN_W, WIN_H from the window's current geometry.
read_geometry() {
  WIN_X=0 WIN_Y=0 WIN_W=0 WIN_H=0
  while IFS='=' read -r name value; do
    case $name in
    X) WIN_X=$value ;;
    Y) WIN_Y=$value ;;
    WIDTH) WIN_W=$value ;;
    HEIGHT) WIN_H=$value ;;
    esac
  done < <(xdotool getwindowgeometry --shell "$WINDOW" 2>/dev/null)
}

window_has_size() {
  read_geometry
  [ "$WIN_W" = "$1" ] && [ "$WIN_H" = "$2" ]
}

# Keyboard input reaches a window only with the focus set and the pointer over it.
focus_window() {
  xdotool mousemove --window "$WINDOW" $((WIN_W / 2)) $((WIN_H / 2))
  xdotool windowfocus "$WINDOW"
}

# screenshot NAME: the window's picture as $E2E_DIR/NAME.png; prints the file name.
screenshot() {
  local file="$E2E_DIR/$1.png"
  read_geometry
  import -window root -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$file"
  echo "$file"
}

# The number of distinct colours in a picture.
colour_count() { convert "$1" -format '%k' info:; }

# The dialog is black and white; the window is one colour before it is drawn.
dialog_drawn() { [ "$(colour_count "$(screenshot dialog)")" -gt 1 ]; }

# Starts the program and waits for its mode dialog; sets WINDOW.
start_at_dialog() {
  start_display
  start_program
  wait_for "the program's window" 15 window_found
  wait_for "a ${dialogWidth}x${dialogHeight} dialog window" 10 \
    window_has_size "$dialogWidth" "$dialogHeight"
  focus_window
  wait_for "the mode dialog to be drawn" 10 dialog_drawn
}

# Return takes the dialog's first choice, a 640x480 window; waits for a frame with the blue
# background dominant (kept as FRAME). Half a second after the start the swarm, spreading from
# the camera's position, briefly fills the picture.
choose_default_mode() {
  # On a loaded machine the dialog can miss the first press: press again, at most twice more.
  for _ in 1 2 3; do
    press_key Return
    poll_for 4 window_has_size "$modeWidth" "$modeHeight" && break
    focus_window
  done
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

# Short taps are missed by the program's polling: keys are held 0.1 s unless told otherwise.
press_key() {
  xdotool keydown "$1"
  sleep "${2:-0.1}"
  xdotool keyup "$1"
}

# The library draws its own pointer, which follows the relative motion of the X pointer. Moving
# far past the bottom-right corner several times leaves it clamped in the corner, where it
# covers at most a pixel of the picture.
park_pointer() {
  for _ in 1 2 3; do
    xdotool mousemove --window "$WINDOW" $((WIN_W / 2)) $((WIN_H / 2))
    sleep 0.05
    xdotool mousemove --window "$WINDOW" $((WIN_W - 1)) $((WIN_H - 1))
    sleep 0.05
  done
}

# Polling can miss a short click too: the button is held 0.1 s.
click_left() {
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
}

# move_pointer_by DX DY [STEP]: moves the X pointer relatively, in steps of at most STEP pixels
# (default 30): small enough for the library's warping (back to the window's middle whenever the
# pointer strays too far) to keep it inside the window, and slow enough for the program to read
# the motion between them.
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
# The program puts its pointer back by each movement it reads, but the library may move the
# pointer between that reading and the put-back; small steps keep that slip small.
drag_right() {
  xdotool mousedown 3
  sleep 0.1
  move_pointer_by 0 "$1" 10
  sleep 0.1
  xdotool mouseup 3
}

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

# Brings the X pointer and the program's pointer together to the middle of the window: parked in
# the corner, the program's pointer follows the X pointer's move from the corner to the middle.
centre_pointers() {
  local cx=$((WIN_W / 2)) cy=$((WIN_H / 2)) px py
  for _ in $(seq 5); do
    park_pointer
    xdotool mousemove --window "$WINDOW" "$cx" "$cy"
    sleep 0.2
    if read -r px py < <(pointer_position "$(screenshot centred)") && near "$px" "$py" "$cx" "$cy" 3; then
      return 0
    fi
  done
  fail "could not bring the program's pointer to the middle of the window"
}

# move_pointer_to X Y: moves the program's pointer (mouse_x, mouse_y) to X Y, correcting by what
# the screenshots show, since the library's warping drops some motion.
move_pointer_to() {
  local px py
  for _ in $(seq 6); do
    read -r px py < <(pointer_position "$(screenshot moving)") || return 1
    [ "$px $py" = "$1 $2" ] && return 0
    move_pointer_by $(($1 - px)) $(($2 - py))
    sleep 0.2
  done
  return 1
}

# blob_centres FILE "r,g,b" [X Y]: the centres ("x y") of blobs of one colour below the overlay,
# each a funnie's circle or the visible part of one. Without X Y, one per funnie: its circles share
# the differences between their colour components (shading takes the same amount off each), and
# its head is its largest circle; largest first, those touching the window's edge (whose head may
# be outside) last. With X Y, every blob, nearest first to that point. The background, specks
# and the pointer's white are left out.
blob_centres() {
  convert "$1" -crop "$(below_overlay)" +repage -define connected-components:verbose=true \
    -connected-components 4 null: |
    awk -v background="srgb($2)" -v top="$overlayHeight" -v px="${3:-}" -v py="${4:-}" \
      -v w="$WIN_W" -v h="$((WIN_H - overlayHeight))" '
      $2 ~ /^[0-9]+x[0-9]+\+/ && $5 != background && $5 != "srgb(255,255,255)" {
        split($2, box, /[x+]/); split($3, centre, ","); split($5, rgb, /[(,)]/)
        x = int(centre[1] + 0.5); y = int(centre[2] + 0.5) + top
        if (box[1] < 9 || box[2] < 9 || $4 < 60) next
        if (px != "") { print (x - px) ^ 2 + (y - py) ^ 2, x, y; next }
        edge = box[3] == 0 || box[4] == 0 || box[3] + box[1] == w || box[4] + box[2] == h
        funnie = (rgb[2] - rgb[3]) "," (rgb[3] - rgb[4])
        if ($4 > area[funnie]) { area[funnie] = $4; point[funnie] = x " " y; cut[funnie] = edge }
      }
      END { for (f in area) print cut[f] * 1e6 - area[f], point[f] }' |
    sort -n | awk 'NR <= 8 { print $2, $3 }'
}

# sky_points FILE "r,g,b": points ("x y") of that background colour with no blob of the scene
# within 20 pixels and nothing at all within 2 (particles, single pixels that cannot be picked,
# are everywhere): in each quarter of the window the one farthest from its middle, farthest first.
# A selected head lies near the middle, and one too near the camera is not drawn at all but still
# covers a wide disc there for picking.
sky_points() {
  local margin=20 top=$((overlayHeight + 20))
  background_mask "$1" "${WIN_W}x${WIN_H}+0+0" "$2" "$E2E_DIR/sky.png"
  convert "$E2E_DIR/sky.png" \
    \( +clone -morphology Open Square:1 \
    -morphology Dilate Rectangle:41x1 -morphology Dilate Rectangle:1x41 \) \
    \( -clone 0 -morphology Dilate Square:2 \) -delete 0 -compose Lighten -composite \
    -crop "$((WIN_W - 2 * margin))x$((WIN_H - top - margin))+${margin}+${top}" +repage txt:- |
    awk -F'[,: ]+' -v left="$margin" -v top="$top" -v cx=$((WIN_W / 2)) -v cy=$((WIN_H / 2)) '
      /#000000/ {
        x = $1 + left; y = $2 + top; d = (x - cx) ^ 2 + (y - cy) ^ 2
        quarter = (x >= cx) * 2 + (y >= cy)
        if (!(quarter in best) || d > best[quarter]) { best[quarter] = d; point[quarter] = x " " y }
      }
      END { for (q in best) print best[q], point[q] }' | sort -rn | cut -d" " -f2-
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

# isolated_pixels FILE GEOMETRY "r,g,b": pixels not in that colour whose eight neighbours all are,
# as a particle drawn over the background shows.
isolated_pixels() {
  background_mask "$@" "$E2E_DIR/mask.png"
  convert "$E2E_DIR/mask.png" -morphology HitAndMiss '3x3:0,0,0,0,1,0,0,0,0' "$E2E_DIR/specks.png"
  white_pixels "$E2E_DIR/specks.png"
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

# The camera's pitch as the picture shows it twice: in the background's blue (pitch + 64) and in
# overlay line 1. Sets SHOWN_BLUE and SHOWN_PITCH from a fresh screenshot.
read_pitch() {
  local shot colour line
  shot=$(screenshot "${1:-pitch}")
  colour=$(dominant_colour "$shot")
  [[ $colour =~ ^0,0,([0-9]+)$ ]] || fail "the background is $colour, not pure blue"
  SHOWN_BLUE=${BASH_REMATCH[1]}
  line=$(overlay_line 1 "$shot")
  [[ $line =~ ^XR:\ (-?[0-9]+)\ YR:\ -?[0-9]+$ ]] || fail "overlay line 1 is '$line'"
  SHOWN_PITCH=${BASH_REMATCH[1]}
}

# pitch_shown_is P: the background's blue and line 1 both show pitch P.
pitch_shown_is() {
  read_pitch pitch
  [ "$SHOWN_PITCH" = "$1" ] && [ "$SHOWN_BLUE" = $(($1 + 64)) ]
}

# camera_position [FILE]: overlay line 2's numbers, "x y z".
camera_position() {
  local line
  line=$(overlay_line 2 "${1:-}")
  [[ $line =~ ^XM:\ (-?[0-9]+\.[0-9]{6})\ YM:\ (-?[0-9]+\.[0-9]{6})\ ZM:\ (-?[0-9]+\.[0-9]{6})$ ]] ||
    fail "overlay line 2 is '$line'"
  echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]} ${BASH_REMATCH[3]}"
}

# wait_for_exit SECONDS: waits for the program to end and checks that its status was 0.
wait_for_exit() {
  wait_for "the program to end" "$1" eval '! program_running'
  local status=0
  wait "$PROGRAM_PID" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status (124: killed by timeout)"
}

# Nothing on stdout, and on stderr only Xlib's own lines about the missing DGA extension.
check_quiet() {
  [ ! -s "$E2E_DIR/stdout" ] || fail "the program printed on stdout: $(head -c 500 "$E2E_DIR/stdout")"
  local unexpected
  unexpected=$(grep -Ev "$expectedStderr" "$E2E_DIR/stderr" || true)
  [ -z "$unexpected" ] || fail "the program printed on stderr: $unexpected"
}

pass() { echo "PASS: $(basename "$0" .sh)"; }
