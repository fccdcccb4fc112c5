#!/usr/bin/env bash
# Builds funnies with warnings as errors and runs every test, all of them CTest tests: the unit
# tests, the linters (shellcheck, clang-format, clang-tidy), the unit tests and a short soak
# under AddressSanitizer and UndefinedBehaviorSanitizer, the end-to-end tests in a virtual X
# server and under Xwayland in a headless Wayland compositor, memcheck of the frame pipeline, the
# Debian package with lintian, the Windows program with its unit tests, end-to-end tests and
# benchmark under Wine, the arm64 program with its unit tests, a smoke test, the benchmark and
# its package under qemu, and the browser's build with its unit tests and benchmark under node
# and its page in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test windows arm64 web

cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release -j 2 -L unit
ctest --preset release -L lint

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --preset sanitize -j 2 -L unit
SOAK_CHECK_MEMORY=0 ctest --preset sanitize -R '^e2e_soak$'
unset ASAN_OPTIONS UBSAN_OPTIONS

ctest --preset release -L e2e
ctest --preset release -L wayland
ctest --preset release -L memcheck
ctest --preset release -L package --verbose # prints the checks and what lintian said

# The Windows and arm64 scenarios use the release build's helpers, built above.
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows -j 2 -L windows -E '^windows_bench$'
ctest --preset windows -R '^windows_bench$' --verbose # prints the benchmark's figures under Wine

cmake --preset arm64 >/dev/null
cmake --build --preset arm64
ctest --preset arm64 -j 2 -L arm64 -E '^arm64_bench$'
ctest --preset arm64 -R '^arm64_bench$' --verbose # prints the benchmark's figures under qemu

cmake --preset web >/dev/null
cmake --build --preset web
ctest --preset web -j 2 -L web -E '^web_bench$'
ctest --preset web -R '^web_bench$' --verbose # prints the benchmark's figures under node
