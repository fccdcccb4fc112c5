#!/usr/bin/env bash
# Under Wine, in a Wine prefix of its own: the zip holds exactly the program, LICENSE.txt and
# README.txt (Windows line ends); the installer, run silently, puts the same program and the two
# texts in the user's programs folder with an uninstaller, a Start menu shortcut and an entry in
# the installed apps; the installed program starts to its mode dialog and cancelling ends it
# with status 0; the silent uninstall leaves no file, shortcut or registry key behind.
E2E_SCENARIO_LIMIT=150
# shellcheck source=../wine_lib.sh
source "$(dirname "$0")/../wine_lib.sh"

: "${WINE_ZIP:?WINE_ZIP must name the zip}" "${WINE_SETUP:?WINE_SETUP must name the installer}"
: "${FUNNIES_VERSION:?FUNNIES_VERSION must give the version}"
WINE_PREFIX="$E2E_DIR/prefix"
readonly uninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\funnies'

wine_in_prefix() { "$WINE_RUN" "$WINE_PREFIX" "$@"; }

# Every file and folder under the prefix's users, but for the temporary ones: the uninstaller
# runs from a copy in the temporary folder, which Windows deletes later.
user_files() { find "$WINE_PREFIX/drive_c/users" -not -path '*/Temp/*' | sort; }

installed_dir() { find "$WINE_PREFIX/drive_c/users" -path '*/AppData/Local/Programs/funnies'; }
shortcut() { find "$WINE_PREFIX/drive_c/users" -path '*/Start Menu/Programs/funnies.lnk'; }
# The uninstall entry's values, or nothing when there is no entry (reg's own message about it
# goes to stdout).
uninstall_entry() {
  local entry
  entry=$(wine_in_prefix reg query "$uninstallKey" 2>/dev/null) || return 0
  tr -d '\r' <<<"$entry"
}

# Sets ENTRY to the uninstall entry's values once there are any: a query right after the
# installer once came back empty with the entry in place (once in about a dozen runs).
entry_read() {
  ENTRY=$(uninstall_entry)
  [ -n "$ENTRY" ]
}

# entry_value NAME: the value of NAME in ENTRY.
entry_value() { sed -nE "s/^ +$1 +REG_[A-Z_]+ +//p" <<<"$ENTRY"; }

everything_gone() {
  [ -z "$(installed_dir)" ] && [ -z "$(shortcut)" ] && [ -z "$(uninstall_entry)" ]
}

[ "$(unzip -Z1 "$WINE_ZIP" | sort | tr '\n' ' ')" = "LICENSE.txt README.txt funnies.exe " ] ||
  fail "the zip holds: $(unzip -Z1 "$WINE_ZIP" | tr '\n' ' ')"
unzip -q -d "$E2E_DIR/zip" "$WINE_ZIP"
for text in README.txt LICENSE.txt; do
  [ "$(grep -vc $'\r$' "$E2E_DIR/zip/$text")" -eq 0 ] || fail "$text has lines without Windows' line end"
done
note "the zip: $(unzip -Z1 "$WINE_ZIP" | tr '\n' ' ')"

start_display
wine_in_prefix reg query 'HKCU\Software\Wine\Explorer' >/dev/null # makes the prefix
before=$(user_files)
wine_in_prefix "$WINE_SETUP" /S
dir=$(installed_dir)
[ -n "$dir" ] || fail "the installer put nothing in the user's programs folder"
[ "$(cd "$dir" && find . -type f | sort | tr '\n' ' ')" = \
  "./LICENSE.txt ./README.txt ./Uninstall.exe ./funnies.exe " ] ||
  fail "installed: $(cd "$dir" && find . -type f | tr '\n' ' ')"
cmp -s "$dir/funnies.exe" "$E2E_DIR/zip/funnies.exe" || fail "the zip's program is not the installed one"
[ -n "$(shortcut)" ] || fail "no Start menu shortcut"
wait_for "the uninstall entry" 10 entry_read
[ "$(entry_value DisplayName)" = funnies ] || fail "uninstall entry: $ENTRY"
[ "$(entry_value DisplayVersion)" = "$FUNNIES_VERSION" ] || fail "uninstall entry: $ENTRY"
[ "$(entry_value Publisher)" = "funnies developers" ] || fail "uninstall entry: $ENTRY"
[[ $(entry_value DisplayIcon) == *'\funnies.exe,0' ]] || fail "uninstall entry: $ENTRY"
[ "$(($(entry_value EstimatedSize)))" -gt 0 ] || fail "uninstall entry: $ENTRY"
note "installed in ${dir#"$WINE_PREFIX/"}, with the shortcut and the entry"

FUNNIES="$dir/funnies.exe"
start_at_dialog
press_key Escape
wait_for_exit 10
check_quiet
note "the installed program started to its dialog and ended with status 0"

quiet=$(entry_value QuietUninstallString)
[[ $quiet =~ ^\"(.+)\"\ /S$ ]] || fail "the quiet uninstall is '$quiet'"
# The uninstaller copies itself away and goes on from there, so the installed one returns early.
wine_in_prefix "${BASH_REMATCH[1]}" /S
wait_for "the uninstall to remove the files, the shortcut and the entry" 30 everything_gone
left=$(comm -13 <(echo "$before") <(user_files))
[ -z "$left" ] || fail "the uninstall left behind: $left"
note "uninstalled: nothing left"
pass
