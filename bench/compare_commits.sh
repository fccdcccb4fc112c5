#!/usr/bin/env bash
# Runs the benchmark of an earlier commit and of the working tree in turn, RUNS times each
# (default 2), so that both see the same machine and the same load. Usage:
#   bench/compare_commits.sh COMMIT [RUNS]
# The earlier commit is built from `git archive` in build-compare/COMMIT; the working tree's
# benchmark is build/funnies-bench.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$1
runs=${2:-2}
earlier=build-compare/$commit

if [ ! -x "$earlier/build/funnies-bench" ]; then
  rm -rf "$earlier"
  mkdir -p "$earlier"
  git archive "$commit" | tar -x -C "$earlier"
  # Older commits name the test switch FUNNIES_TESTS, newer ones BUILD_TESTING.
  cmake -S "$earlier" -B "$earlier/build" -DCMAKE_BUILD_TYPE=Release -DFUNNIES_TESTS=OFF \
    -DBUILD_TESTING=OFF --no-warn-unused-cli >/dev/null
  cmake --build "$earlier/build" -j2 --target funnies-bench >/dev/null
fi
cmake -S . -B build >/dev/null
cmake --build build -j2 --target funnies-bench >/dev/null

for run in $(seq "$runs"); do
  echo "=== $commit, run $run"
  "$earlier/build/funnies-bench"
  echo "=== working tree, run $run"
  build/funnies-bench
done
