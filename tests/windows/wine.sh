#!/usr/bin/env bash
# Runs a Windows program under Wine, in a Wine prefix of the build's own: the emulator CMake
# runs the cross-built tests with. The prefix is made on first use (about 12 s), once even when
# several tests start at the same time.
# Usage: wine.sh PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail

export WINEPREFIX=${1:?usage: $0 PREFIX PROGRAM [ARGUMENT...]}
shift
export WINEDEBUG=-all
# No offer to download Mono or Gecko, which nothing here uses: it would wait for a click.
export WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
    wineserver --wait
  fi
) 9>"$WINEPREFIX.lock"

exec wine "$@"
