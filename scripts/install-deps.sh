#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing funnies need, if any is
# missing: the build, the tests in a virtual X server, the package and its checks, the linters,
# the Windows build (mingw-w64, Wine, GoogleTest's sources), for which it also turns on Debian's
# source entries, so that the build can fetch the library's source package, and the arm64 build
# (the cross compilers, qemu, and Debian's arm64 library), for which it adds the arm64
# architecture. Runs apt as root, or through sudo for a normal user.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  liballegro4-dev
  libgtest-dev
  xvfb xdotool imagemagick x11-utils x11-xserver-utils libx11-dev
  dpkg-dev desktop-file-utils appstream lintian man-db valgrind
  shellcheck clang-format clang-tidy
  g++-mingw-w64-x86-64 wine wine64 googletest patch nsis icoutils unzip
  g++-aarch64-linux-gnu qemu-user-static liballegro4.4:arm64 libstdc++6:arm64
)

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# deb-src entries beside the configured deb ones, in the same files' formats, unless some are
# there already.
readonly sourceEntries=/etc/apt/sources.list.d/funnies-deb-src
has_source_entries() {
  grep -Eqs '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources
}
# write_root FILE: standard input into FILE, unless it is empty.
write_root() {
  local text
  text=$(cat)
  [ -z "$text" ] || printf '%s\n' "$text" | "${as_root[@]}" tee "$1" >/dev/null
}
add_source_entries() {
  echo "Adding source entries for the configured Debian archives ($sourceEntries.*)"
  # One-line entries of Debian's archives, and deb822 stanzas, their Types line made deb-src.
  { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true; } |
    sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' | write_root "$sourceEntries.list"
  { cat /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
    awk 'BEGIN { RS = ""; ORS = "\n\n" } /URIs:[^\n]*debian/ {
      sub(/Types:[^\n]*/, "Types: deb-src"); print }' | write_root "$sourceEntries.sources"
  "${as_root[@]}" apt-get update -qq
}
has_source_entries || add_source_entries
# The arm64 packages install beside the host's (apt-get update follows below).
dpkg --print-foreign-architectures | grep -qx arm64 || "${as_root[@]}" dpkg --add-architecture arm64

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
