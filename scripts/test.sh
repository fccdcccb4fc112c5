#!/usr/bin/env bash
# Builds funnies with warnings as errors and runs every test: the unit tests, the unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the end-to-end tests in a
# virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake -S . -B build -DFUNNIES_WERROR=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -L unit

cmake -S . -B build-sanitize -DFUNNIES_WERROR=ON -DFUNNIES_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j2 --target funnies_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -L unit

ctest --test-dir build --output-on-failure -L e2e

tests/valgrind/memcheck.sh build/funnies-bench
tests/package/check_package.sh . build-package
