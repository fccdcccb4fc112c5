#!/usr/bin/env bash
# Runs shellcheck on every shell script of the source tree (the *.sh files and .ci/run), following
# the files they source. Usage: shellcheck.sh SOURCE_DIR
set -euo pipefail
cd "$1"
mapfile -t scripts < <(find . \( -path './build*' -o -path ./.git -o -name node_modules \) -prune -o -type f \
  \( -name '*.sh' -o -path ./.ci/run \) -print | sort)
shellcheck --external-sources "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts, nothing to report"
