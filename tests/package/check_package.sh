#!/usr/bin/env bash
# Builds the Debian package and checks it: the install tree, the desktop entry, AppStream
# metainfo, icons and manual page, one version everywhere, the architecture, a stripped and
# hardened program, the dependency on Debian's Allegro, and lintian --pedantic with no error and
# no warning. Usage: check_package.sh SOURCE_DIR [BUILD_DIR ARCHITECTURE]
# Without BUILD_DIR it builds the host's package with the package preset, in
# SOURCE_DIR/build-package; with it, it packages that build, made already (a cross build, whose
# tests run from it), for ARCHITECTURE.
set -euo pipefail
cd "$1"
if [ $# -ge 3 ]; then
  build=$2
  architecture=$3
else
  build=$PWD/build-package
  architecture=$(dpkg --print-architecture)
  cmake --preset package >/dev/null
  cmake --build --preset package >/dev/null
fi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
checks=0
# show WHAT TEXT: TEXT's lines, indented and each marked with WHAT.
show() {
  local line
  while IFS= read -r line; do echo "  $1: $line"; done <<<"$2"
}
expect() { # description, command...
  local what=$1
  shift
  checks=$((checks + 1))
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
debian_version="$version-1"
sizes=(64 128 256)
expected=(usr/games/funnies usr/share/applications/funnies.desktop
  usr/share/metainfo/org.funnies.funnies.metainfo.xml usr/share/man/man6/funnies.6.gz
  usr/share/doc/funnies/copyright usr/share/doc/funnies/changelog.gz
  usr/share/doc/funnies/changelog.Debian.gz)
for size in "${sizes[@]}"; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/funnies.png")
done

tree=$stage/install
DESTDIR=$tree cmake --install "$build" --prefix /usr >/dev/null
for file in "${expected[@]}"; do
  expect "cmake --install puts /$file" test -e "$tree/$file"
done
expect "the desktop entry is valid" desktop-file-validate "$tree/usr/share/applications/funnies.desktop"
expect "the desktop entry has Keywords and StartupWMClass=Funnies" bash -c \
  "grep -q '^Keywords=.' '$tree/usr/share/applications/funnies.desktop' &&
   grep -qx 'StartupWMClass=Funnies' '$tree/usr/share/applications/funnies.desktop'"
metainfo=$tree/usr/share/metainfo/org.funnies.funnies.metainfo.xml
appstream=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 || true)
show appstreamcli "$appstream"
expect "appstreamcli validate --pedantic: no error, no warning" \
  bash -c "! grep -qE '^[EW]: ' <<<\"\$1\" && grep -q 'Validation was successful' <<<\"\$1\"" _ "$appstream"
for size in "${sizes[@]}"; do
  icon=$tree/usr/share/icons/hicolor/${size}x${size}/apps/funnies.png
  expect "the ${size}px icon is a ${size}x${size} PNG" bash -c \
    "identify -format '%m %wx%h' '$icon' | grep -qx 'PNG ${size}x${size}'"
done
man_warnings=$(man --warnings -E UTF-8 -l -Tutf8 -Z "$tree/usr/share/man/man6/funnies.6.gz" 2>&1 >/dev/null)
expect "the manual page renders without a warning" test -z "$man_warnings"
[ -z "$man_warnings" ] || show man "$man_warnings"
expect "the manual page has its sections" bash -c "zcat '$tree/usr/share/man/man6/funnies.6.gz' |
  grep -c -E '^\.SH (NAME|SYNOPSIS|DESCRIPTION|OPTIONS|CONTROLS|BEHAVIOUR|DIAGNOSTICS|EXIT STATUS)$' |
  grep -qx 8"
expect "the manual page, metainfo and Debian changelog carry version $version" bash -c "
  zcat '$tree/usr/share/man/man6/funnies.6.gz' | grep -q '^\.TH FUNNIES 6 .* \"funnies $version\"' &&
  grep -q '<release version=\"$version\"' '$metainfo' &&
  zcat '$tree/usr/share/doc/funnies/changelog.Debian.gz' | head -n 1 | grep -q '^funnies ($debian_version) '"

rm -f "$build"/funnies_*.deb
(cd "$build" && cpack >/dev/null)
deb=$(ls "$build"/funnies_*.deb)
contents=$(dpkg-deb -c "$deb")
for file in "${expected[@]}"; do
  expect "the package holds /$file" grep -q " \./$file\$" <<<"$contents"
done
expect "the package is version $debian_version" test "$(dpkg-deb -f "$deb" Version)" = "$debian_version"
expect "the package is for $architecture" test "$(dpkg-deb -f "$deb" Architecture)" = "$architecture"
expect "the package depends on liballegro4.4" bash -c "dpkg-deb -f '$deb' Depends | grep -q 'liballegro4.4'"
dpkg-deb -x "$deb" "$stage/deb"
program=$stage/deb/usr/games/funnies
expect "the program is stripped" bash -c "! readelf -S '$program' | grep -q '\.symtab'"
expect "the program is position-independent" bash -c "readelf -h '$program' | grep -q 'DYN (Position-Independent Executable'"
expect "the program has full RELRO" bash -c "readelf -l '$program' | grep -q GNU_RELRO &&
  readelf -d '$program' | grep -q 'FLAGS_1.*NOW'"
expect "the program calls fortified libc functions" bash -c "readelf -W --dyn-syms '$program' | grep -q '__[a-z]*_chk'"

lintian_output=$(lintian --pedantic --display-info --show-overrides "$deb" 2>&1 | grep -v '^running with root privileges' || true)
show lintian "${lintian_output:-(nothing)}"
expect "lintian --pedantic: no error, no warning" bash -c "! grep -qE '^[EW]: ' <<<\"\$1\"" _ "$lintian_output"
echo "package: $deb"
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
