#!/usr/bin/env bash
# Builds funnies with warnings as errors and runs every test: the unit tests, the unit tests
# and a short soak under AddressSanitizer and UndefinedBehaviorSanitizer, the end-to-end
# tests in a virtual X server, memcheck of the frame pipeline and the package check.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake -S . -B build -DFUNNIES_WERROR=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -L unit

cmake -S . -B build-sanitize -DFUNNIES_WERROR=ON -DFUNNIES_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j2 --target funnies_tests funnies e2e_frame_counter e2e_send_close \
  e2e_read_overlay
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir build-sanitize --output-on-failure -L unit
SOAK_CHECK_MEMORY=0 ctest --test-dir build-sanitize --output-on-failure -R '^e2e_soak$'
unset ASAN_OPTIONS UBSAN_OPTIONS

ctest --test-dir build --output-on-failure -L e2e

tests/valgrind/memcheck.sh build/funnies-bench
tests/package/check_package.sh . build-package
