#!/usr/bin/env bash
# Runs every end-to-end scenario one after the other, outside CTest, and sums up.
# Usage: tests/e2e/run_all.sh [BUILD_DIR]   (default: build; the targets funnies, e2e_send_close
# and e2e_read_overlay are built there first)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../../build}")

cmake --build "$build" -j2 --target funnies e2e_send_close e2e_read_overlay >/dev/null ||
  { echo "could not build the programs in $build" >&2; exit 2; }

passed=0
failed=0
started=$SECONDS
for scenario in "$here"/scenarios/*.sh; do
  if bash "$scenario" "$build/funnies" "$build/tests/e2e/e2e_send_close" \
    "$build/tests/e2e/e2e_read_overlay"; then
    passed=$((passed + 1))
  else
    echo "FAILED: $(basename "$scenario" .sh)"
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed ($((SECONDS - started)) s)"
[ "$failed" -eq 0 ]
