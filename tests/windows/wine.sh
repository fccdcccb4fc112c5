#!/usr/bin/env bash
# Runs a Windows program under Wine, in a Wine prefix of the build's own: the emulator CMake
# runs the cross-built tests with, and the way the end-to-end tests start the program. The prefix
# is made on first use, once even when several tests start at the same time. With
# WINE_DESKTOP=WIDTHxHEIGHT when it is made, every program of the prefix runs inside Wine's own
# virtual desktop of that size: without a window manager, Wine stalls when the library switches
# from the dialog's window to the chosen mode, and inside the desktop it does not.
# With FUNNIES_CACHE_DIR set, a prefix made is also kept there, one for each Wine version and
# desktop, and a new prefix is a copy of it: wineboot takes from 12 s to minutes, a copy a second.
# Usage: [WINE_DESKTOP=WxH] [FUNNIES_CACHE_DIR=DIR] wine.sh PREFIX PROGRAM [ARGUMENT...]
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

# The prefix from the one kept for this Wine and desktop, or made and then kept (whole or not at
# all: another build may be keeping the same one).
copy_or_make_prefix() {
  [ -n "${FUNNIES_CACHE_DIR:-}" ] || { make_prefix; return; }
  local kept part
  kept="$FUNNIES_CACHE_DIR/$(wine --version 2>/dev/null | sed 's/[^A-Za-z0-9.]\{1,\}/-/g; s/-$//')-prefix"
  [ -z "${WINE_DESKTOP:-}" ] || kept+="-$WINE_DESKTOP"
  if [ -f "$kept/.made" ]; then
    mkdir -p "$WINEPREFIX"
    cp -a "$kept/." "$WINEPREFIX/"
    return
  fi
  make_prefix
  mkdir -p "$FUNNIES_CACHE_DIR"
  part=$(mktemp -d "$kept.XXXXXX")
  cp -a "$WINEPREFIX/." "$part/"
  mv -T "$part" "$kept" 2>/dev/null || rm -rf "$part"
}

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  [ -f "$WINEPREFIX/.made" ] || copy_or_make_prefix
) 9>"$WINEPREFIX.lock"

exec wine "$@"
