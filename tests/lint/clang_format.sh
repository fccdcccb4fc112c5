#!/usr/bin/env bash
# clang-format --dry-run --Werror on every C and C++ source of the source tree (not the npm
# packages of the browser tests), with the .clang-format at its root.
# Usage: clang_format.sh SOURCE_DIR
set -euo pipefail
cd "$1"
mapfile -t sources < <(find . \( -path "./build*" -o -path ./.git -o -name node_modules \) -prune \
  -o -type f \
  \( -name '*.cpp' -o -name '*.hpp' -o -name '*.c' -o -name '*.h' \) -print | sort)
clang-format --dry-run --Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} sources formatted"
