#!/usr/bin/env bash
# The window says what it is, in the mode dialog and in the chosen mode: WM_CLASS "funnies",
# "Funnies", the title "funnies", and as its icon the program's own, the 64-pixel icon the build
# drew (E2E_ICON), read back from the window's WM_HINTS by E2E_READ_ICON.
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"

readonly expectedClass='WM_CLASS(STRING) = "funnies", "Funnies"'
readonly expectedTitle='WM_NAME(STRING) = "funnies"'
: "${E2E_ICON:?the 64-pixel icon the build drew}" "${E2E_READ_ICON:?the icon reader}"

# check_identity WHEN: the window's class, title and icon. The library makes a new icon pixmap
# when it sets a mode.
check_identity() {
  local properties differing
  properties=$(xprop -id "$WINDOW" WM_CLASS WM_NAME)
  note "$1: $(tr '\n' ' ' <<<"$properties")"
  grep -qxF "$expectedClass" <<<"$properties" || fail "$1: $properties"
  grep -qxF "$expectedTitle" <<<"$properties" || fail "$1: $properties"
  "$E2E_READ_ICON" "$WINDOW" >"$E2E_DIR/icon.ppm" || fail "$1: no icon on the window"
  differing=$(compare -metric AE "$E2E_DIR/icon.ppm" "$E2E_ICON" null: 2>&1) || true
  [ "$differing" = 0 ] || fail "$1: the window's icon differs from $E2E_ICON ($differing pixels)"
}

start_at_dialog
check_identity "dialog"
choose_default_mode
check_identity "${modeWidth}x${modeHeight} window"
press_key Escape 0.3
wait_for_exit 10
check_quiet
pass
