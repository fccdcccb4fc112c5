# shellcheck shell=bash
# The end-to-end steps of tests/e2e/lib.sh under Xwayland, in a headless Wayland compositor
# (sway, with the pixman renderer), the way the program runs on most Linux desktops now. The
# pointer moves through the compositor, from a virtual pointer device (tests/wayland/
# virtual_pointer.c), as a real mouse's input does; keys go in through XTEST.
#
# sway refuses to run as root, and Xwayland lets in only the clients of the user who runs it: the
# compositor, the program and every X client run as an unprivileged user of the tests' own, made
# if missing. The build tree may be out of that user's reach (a clone in root's home), so the
# program and the pointer's client run from copies in the scenario's folder.
#
# A scenario sources this file and is run as: SCENARIO.sh FUNNIES SEND_CLOSE READ_OVERLAY,
# with WAYLAND_VIRTUAL_POINTER naming the pointer's client.

# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

: "${WAYLAND_VIRTUAL_POINTER:?WAYLAND_VIRTUAL_POINTER must name the virtual pointer client}"

readonly testUser=funnies-e2e
readonly outputWidth=1280 # the compositor's one headless output, the whole layout
readonly outputHeight=1024
RUNTIME_DIR="" # the user's XDG_RUNTIME_DIR, the compositor's sockets in it
SWAY_PID=""
XWAYLAND_PID=""
POINTER_PID=""

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

if ! id -u "$testUser" >/dev/null 2>&1; then
  # Another scenario may make the user at the same moment.
  "${as_root[@]}" useradd --system --no-create-home --shell /usr/sbin/nologin "$testUser" ||
    id -u "$testUser" >/dev/null || fail "could not make the user $testUser"
fi
if [ "$(id -u)" -eq 0 ]; then
  userCommand=(setpriv --reuid="$testUser" --regid="$(id -g "$testUser")" --init-groups)
else
  userCommand=(sudo -u "$testUser")
fi

# Sets SESSION_ENV: the environment of the session alone, for the user's commands (its runtime
# folder, and the displays once they are known).
session_env() {
  SESSION_ENV=("PATH=$PATH")
  [ -z "$RUNTIME_DIR" ] || SESSION_ENV+=("HOME=$RUNTIME_DIR" "XDG_RUNTIME_DIR=$RUNTIME_DIR")
  [ -z "${DISPLAY:-}" ] || SESSION_ENV+=("DISPLAY=$DISPLAY")
  [ -z "${WAYLAND_DISPLAY:-}" ] || SESSION_ENV+=("WAYLAND_DISPLAY=$WAYLAND_DISPLAY")
}

# as_user [NAME=VALUE...] COMMAND...: COMMAND as the test user, in the session's environment.
as_user() {
  session_env
  "${userCommand[@]}" env -i "${SESSION_ENV[@]}" "$@"
}

# The X clients of lib.sh, as the user whose Xwayland it is.
xdotool() { as_user xdotool "$@"; }

# The copies the user runs: the scenario's folder is only passable, its bin folder readable.
chmod 711 "$E2E_DIR"
mkdir -m 755 "$E2E_DIR/bin"
install -m 755 "$FUNNIES" "$WAYLAND_VIRTUAL_POINTER" "$E2E_DIR/bin/"
FUNNIES=$E2E_DIR/bin/$(basename "$FUNNIES")
pointerClient=$E2E_DIR/bin/$(basename "$WAYLAND_VIRTUAL_POINTER")
readonly pointerClient

# Writes the compositor's configuration: one output of a known size, Xwayland started at once
# rather than at the first X client, and the names of its two displays in session.env.
write_sway_config() {
  cat >"$E2E_DIR/bin/sway.conf" <<EOF
output HEADLESS-1 resolution ${outputWidth}x${outputHeight}
xwayland force
exec printenv DISPLAY WAYLAND_DISPLAY > $RUNTIME_DIR/session.env
EOF
  chmod 644 "$E2E_DIR/bin/sway.conf"
}

session_announced() { as_user test -s "$RUNTIME_DIR/session.env"; }

# In place of the virtual X server: the compositor and its Xwayland, and the virtual pointer.
# Sets DISPLAY (Xwayland's) and WAYLAND_DISPLAY.
start_display() {
  RUNTIME_DIR=$(as_user mktemp -d "${TMPDIR:-/tmp}/funnies-wayland.XXXXXX") # mode 0700
  write_sway_config
  session_env # not through as_user: the process started must be the compositor, to be ended
  "${userCommand[@]}" env -i "${SESSION_ENV[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    sway -c "$E2E_DIR/bin/sway.conf" >"$E2E_DIR/sway.log" 2>&1 &
  SWAY_PID=$!
  STARTED_PIDS+=("$SWAY_PID")
  wait_for "the compositor" 15 session_announced
  { read -r DISPLAY && read -r WAYLAND_DISPLAY; } < <(as_user cat "$RUNTIME_DIR/session.env")
  export DISPLAY WAYLAND_DISPLAY
  wait_for "Xwayland to answer on $DISPLAY" 15 eval 'as_user xdpyinfo >/dev/null 2>&1'
  # Xwayland is not the compositor's child (it is started through a double fork), but it is the
  # one X server of this user on this display.
  XWAYLAND_PID=$(pgrep -u "$testUser" -f "^Xwayland $DISPLAY( |$)" | head -n 1) || true
  note "sway on $WAYLAND_DISPLAY, Xwayland (pid ${XWAYLAND_PID:-unknown}) on $DISPLAY"
  start_virtual_pointer
}

# The virtual pointer's client, as a coprocess that answers each command once it is handled.
start_virtual_pointer() {
  session_env
  coproc POINTER {
    exec "${userCommand[@]}" env -i "${SESSION_ENV[@]}" "$pointerClient" 2>"$E2E_DIR/pointer.log"
  }
  POINTER_PID=$!
  STARTED_PIDS+=("$POINTER_PID")
}

# pointer_command COMMAND...: one command of tests/wayland/virtual_pointer.c, and its answer.
pointer_command() {
  local answer=""
  echo "$*" >&"${POINTER[1]}" || fail "the virtual pointer is gone (see pointer.log)"
  read -r -t 5 answer <&"${POINTER[0]}" || true
  [ "$answer" = ok ] || fail "the virtual pointer did not take '$*' (see pointer.log)"
}

# pointer_to X Y: the compositor's pointer to that point of the window.
pointer_to() {
  read_geometry
  pointer_command place $((WIN_X + $1)) $((WIN_Y + $2)) "$outputWidth" "$outputHeight"
}

# With the pointer over the window the compositor gives it the keyboard too.
focus_window() {
  read_geometry
  pointer_to $((WIN_W / 2)) $((WIN_H / 2))
}

# Rootless Xwayland has no root window picture to crop: the window is shot itself.
screenshot() {
  local file="$E2E_DIR/$1.png"
  read_geometry
  as_user import -window "$WINDOW" png:- >"$file"
  echo "$file"
}

start_program() {
  session_env
  timeout -k 3 "$programTimeLimit" "${userCommand[@]}" env -i "${SESSION_ENV[@]}" \
    "${PROGRAM_ENV[@]}" "$FUNNIES" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
}

xwayland_gone() {
  local state
  state=$(awk '{ print $3 }' "/proc/$XWAYLAND_PID/stat" 2>/dev/null) || return 0
  [ "$state" = Z ] # left unreaped by an init that does not reap
}

# The program and the pointer, then the compositor, whose Xwayland ends with it (or is ended).
before_cleanup() {
  local pid
  for pid in "$PROGRAM_PID" "$POINTER_PID" "$SWAY_PID"; do
    [ -z "$pid" ] || stop_process "$pid"
  done
  if [ -n "$XWAYLAND_PID" ] && ! poll_for 3 xwayland_gone; then
    "${as_root[@]}" kill -KILL "$XWAYLAND_PID" 2>/dev/null || true
  fi
  [ -z "$RUNTIME_DIR" ] || as_user rm -rf "$RUNTIME_DIR"
}
