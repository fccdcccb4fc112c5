#!/usr/bin/env bash
# Installs the Debian packages of the sets a caller needs, where any is missing:
#   run      building the program and running it on Linux, in a virtual X server without a display
#   test     the Linux tests: GoogleTest, the end-to-end tools (a Wayland compositor and Xwayland
#            among them), the package checks, the linters, and a compiler cache (ccache)
#   windows  the Windows build, and Wine for its tests (turns on Debian's source entries, so that
#            the build can fetch the library's source package)
#   arm64    the arm64 build, and qemu for its tests (adds the arm64 architecture to dpkg)
#   web      the browser build (Emscripten; Debian's source entries, as for Windows), node for
#            its tests, the three browser engines for its page (chromium, firefox-esr, and
#            WebKitGTK's MiniBrowser through webkit2gtk-driver), and puppeteer-core from npm
#            (tests/web's lockfile)
# Every set brings what building needs; the cross builds' end-to-end tests also use the Linux
# build's helpers, which need the test set.
# With no set named, every set. Runs apt as root, or through sudo for a normal user.
set -euo pipefail

run_packages=(
  build-essential cmake pkg-config
  liballegro4-dev libxext-dev libpng-dev
  xvfb xdotool imagemagick x11-utils
)
test_packages=(
  libgtest-dev x11-xserver-utils libx11-dev
  sway xwayland libwayland-dev libwayland-bin
  dpkg-dev desktop-file-utils appstream lintian man-db valgrind
  shellcheck clang-format clang-tidy python3 ccache
)
windows_packages=(g++-mingw-w64-x86-64 wine wine64 googletest patch nsis icoutils unzip)
web_packages=(emscripten nodejs chromium firefox-esr webkit2gtk-driver googletest patch python3)
arm64_packages=(
  g++-aarch64-linux-gnu qemu-user-static liballegro4.4:arm64 libstdc++6:arm64 libpng16-16:arm64
  googletest
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

# The browser tests' npm packages, exactly as the lockfile has them, unless an install of this
# lockfile has finished (npm's own record in node_modules is written before an install ends).
web_modules() {
  local dir
  dir="$(dirname "$0")/../tests/web"
  [ "$dir/node_modules/.funnies-installed" -nt "$dir/package-lock.json" ] && return
  npm ci --prefix "$dir" --no-audit --no-fund --loglevel=error >/dev/null
  touch "$dir/node_modules/.funnies-installed"
}

sets=("$@")
[ ${#sets[@]} -gt 0 ] || sets=(run test windows arm64 web)
install_web_modules=0
packages=()
for set in "${sets[@]}"; do
  case $set in
  run) packages+=("${run_packages[@]}") ;;
  test) packages+=("${run_packages[@]}" "${test_packages[@]}") ;;
  windows)
    has_source_entries || add_source_entries
    packages+=("${run_packages[@]}" "${windows_packages[@]}")
    ;;
  arm64)
    # The arm64 packages install beside the host's (apt-get update follows below).
    dpkg --print-foreign-architectures | grep -qx arm64 ||
      "${as_root[@]}" dpkg --add-architecture arm64
    packages+=("${run_packages[@]}" "${arm64_packages[@]}")
    ;;
  web)
    has_source_entries || add_source_entries
    packages+=("${run_packages[@]}" "${web_packages[@]}")
    # Debian's nodejs comes without npm; NodeSource's brings its own.
    command -v npm >/dev/null || packages+=(npm)
    install_web_modules=1
    ;;
  *)
    echo "install-deps.sh: no package set '$set' (run, test, windows, arm64, web)" >&2
    exit 2
    ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  # Another apt (a second script of ours, an unattended upgrade) may hold the lock for a while.
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi
[ "$install_web_modules" -eq 0 ] || web_modules
