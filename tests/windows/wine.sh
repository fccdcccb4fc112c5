#!/usr/bin/env bash
# Runs a Windows program under Wine, in a Wine prefix of the build's own: the emulator CMake
# runs the cross-built tests with, and the way the end-to-end tests start the program. The prefix
# is made on first use (about 12 s), once even when several tests start at the same time. With
# WINE_DESKTOP=WIDTHxHEIGHT when it is made, every program of the prefix runs inside Wine's own
# virtual desktop of that size: without a window manager, Wine stalls when the library switches
# from the dialog's window to the chosen mode, and inside the desktop it does not.
# Usage: [WINE_DESKTOP=WxH] wine.sh PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail

WINEPREFIX=$(realpath -m "${1:?usage: $0 PREFIX PROGRAM [ARGUMENT...]}") # Wine wants it absolute
export WINEPREFIX
shift
export WINEDEBUG=-all
# No offer to download Mono or Gecko, which nothing here uses: it would wait for a click.
export WINEDLLOVERRIDES="mscoree,mshtml="

make_prefix() {
  wineboot --init >/dev/null 2>&1
  if [ -n "${WINE_DESKTOP:-}" ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$WINE_DESKTOP" /f \
      >/dev/null 2>&1
  fi
  wineserver --wait
  touch "$WINEPREFIX/.made"
}

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  [ -f "$WINEPREFIX/.made" ] || make_prefix
) 9>"$WINEPREFIX.lock"

exec wine "$@"
