#!/usr/bin/env bash
# clang_tidy.py's kept passes never hide a finding: in a small tree of its own, a source that
# passed and is then changed, or whose header is, or that loses a NOLINT, is checked again and
# fails; changed back, it passes from what was kept, in a clone of the tree elsewhere too.
# Usage: clang_tidy_cache.sh LINT_DIR
set -euo pipefail
lint=$(cd "$1" && pwd)
tree=$(mktemp -d)
# A clone whose folder sorts after /usr, where the system headers are, as /tmp sorts before it.
clone=$(mktemp -d /var/tmp/clang-tidy-cache.XXXXXX)
trap 'rm -rf "$tree" "$clone"' EXIT
cd "$tree"
mkdir -p source build
cat >source/.clang-tidy <<'EOF'
Checks: '-*,readability-else-after-return'
WarningsAsErrors: '*'
HeaderFilterRegex: '.*'
EOF
# write_commands TREE: TREE's compile_commands.json.
write_commands() {
  cat >"$1/build/compile_commands.json" <<EOF
[{"directory": "$1/build", "file": "$1/source/a.cpp",
  "command": "c++ -std=c++17 -I$1/source -c $1/source/a.cpp -o a.o"}]
EOF
}
write_commands "$tree"
clean='inline int sign(int x) { if (x < 0) { return -1; } return 1; }'
finding='inline int sign(int x) { if (x < 0) { return -1; } else { return 1; } }'
printf '#include <cstdlib>\n#include "b.hpp"\nint f(int x) { return sign(std::abs(x)); }\n' >source/a.cpp

failures=0
# expect OUTCOME WHAT: clang_tidy.py on the tree in the current folder passes or fails, as OUTCOME
# says.
output=""
expect() {
  local status=0
  output=$("$lint/clang_tidy.py" source build "$tree/cache" 2>&1) || status=$?
  if { [ "$1" = passes ] && [ "$status" -eq 0 ]; } || { [ "$1" = fails ] && [ "$status" -eq 1 ]; }; then
    echo "ok: $2 $1"
  else
    echo "FAILED: $2 should have $1 (status $status): $output"
    failures=$((failures + 1))
  fi
}
# expect_kept WHAT: the last pass came from what was kept.
expect_kept() {
  [[ $output == *"(1 unchanged since they passed)"* ]] ||
    { echo "FAILED: $1 was checked again: $output"; failures=$((failures + 1)); }
}
echo "$clean" >source/b.hpp
expect passes "the clean source"
expect passes "the clean source again, from what was kept"
expect_kept "the clean source"
echo "$finding" >source/b.hpp
expect fails "a finding in the header"
echo "$finding // NOLINT" >source/b.hpp
expect passes "the finding under NOLINT"
echo "$finding" >source/b.hpp
expect fails "the NOLINT taken away"
echo "$clean" >source/b.hpp
expect passes "the header made clean again"
cp -r source build "$clone"
write_commands "$clone"
cd "$clone"
expect passes "the clean source in a clone elsewhere"
expect_kept "the clone"
[ "$(find "$tree/cache" -type f | wc -l)" -eq 2 ] ||
  { echo "FAILED: kept $(find "$tree/cache" -type f | wc -l) passes, not the 2 that passed"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]
