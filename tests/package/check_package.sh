#!/usr/bin/env bash
# Checks the install tree and the Debian package: the program, its desktop entry and icon in
# the expected places, a valid desktop entry, and a dependency on Debian's Allegro package.
# Usage: check_package.sh SOURCE_DIR BUILD_DIR (the build dir is made for the package alone)
set -euo pipefail
source=$(cd "$1" && pwd)
build=$2
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFUNNIES_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target funnies >/dev/null
build=$(cd "$build" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
expect() { # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

expected=(usr/bin/funnies usr/share/applications/funnies.desktop
  usr/share/icons/hicolor/64x64/apps/funnies.png)

DESTDIR="$stage/install" cmake --install "$build" --prefix /usr >/dev/null
for file in "${expected[@]}"; do
  expect "cmake --install puts /$file" test -e "$stage/install/$file"
done
expect "the desktop entry is valid" desktop-file-validate "$stage/install/usr/share/applications/funnies.desktop"
expect "the icon is a 64x64 PNG" bash -c "identify -format '%m %wx%h' '$stage/install/usr/share/icons/hicolor/64x64/apps/funnies.png' | grep -qx 'PNG 64x64'"

rm -f "$build"/funnies_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/funnies_*.deb)
contents=$(dpkg-deb -c "$deb")
for file in "${expected[@]}"; do
  expect "the package holds /$file" grep -q " \./$file\$" <<<"$contents"
done
expect "the package depends on liballegro4.4" bash -c "dpkg-deb -f '$deb' Depends | grep -q 'liballegro4.4'"
echo "package: $deb"
echo "$(( ${#expected[@]} * 2 + 3 - failures )) passed, $failures failed"
[ "$failures" -eq 0 ]
