#!/usr/bin/env bash
# Runs the headless frame pipeline (simulation to steady state, both pixel paths, overlay,
# blit) under valgrind's memcheck; any error or leak fails. Usage: memcheck.sh BENCH_BINARY
set -euo pipefail
valgrind --quiet --error-exitcode=1 --leak-check=full --show-leak-kinds=definite,indirect \
  --errors-for-leak-kinds=definite,indirect "$1" --quick >/dev/null
echo "memcheck: no errors, no leaks"
