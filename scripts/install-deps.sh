#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing funnies need, if any is
# missing: the build, the tests in a virtual X server, the package and its checks, and the
# linters. Runs apt as root, or through sudo for a normal user.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  liballegro4-dev
  libgtest-dev
  xvfb xdotool imagemagick x11-utils x11-xserver-utils libx11-dev
  dpkg-dev desktop-file-utils appstream lintian man-db valgrind
  shellcheck clang-format clang-tidy
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
