#!/usr/bin/env bash
# clang-tidy, with the committed .clang-tidy, on every source of the source tree that the build
# compiles (its compile_commands.json), two at a time; the headers they include are checked with
# them. Any finding fails. Usage: clang_tidy.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
[ -f "$build/compile_commands.json" ] ||
  { echo "no $build/compile_commands.json: configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2; exit 2; }
mapfile -t sources < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" |
  grep "^$source/" | grep -v "^$source/build" | sort -u)
[ "${#sources[@]}" -gt 0 ] || { echo "no sources of $source in the build" >&2; exit 2; }
report=$(mktemp)
trap 'rm -f "$report"' EXIT
status=0
printf '%s\n' "${sources[@]}" |
  xargs -P 2 -n 1 clang-tidy -p "$build" --quiet >"$report" 2>&1 || status=$?
if [ "$status" -ne 0 ] || grep -qE '(warning|error):' "$report"; then
  grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$report"
  echo "clang-tidy: findings in the sources above"
  exit 1
fi
echo "clang-tidy: ${#sources[@]} sources, nothing to report"
