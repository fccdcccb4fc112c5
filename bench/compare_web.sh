#!/usr/bin/env bash
# The browser's frame beside the native one: runs the native benchmark (build/) and the wasm one
# under node (build-web/) in turn, RUNS times each (default 2), so that both see the same machine
# and the same load, and prints the wasm frame's time as a share of the native one at 640x480
# and 1920x1080 (the fast path, a swarm of 256). Usage: bench/compare_web.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-2}

cmake --build --preset release --target funnies-bench >/dev/null
cmake --build --preset web --target funnies-bench >/dev/null

# frame_times OUTPUT: the 256-funnie rows' "SIZE FRAME" of the scaling table.
frame_times() {
  awk '$1 == 256 && $5 == "|" { print $6, $9 }' <<<"$1"
}

for run in $(seq "$runs"); do
  native=$(frame_times "$(build/funnies-bench)")
  wasm=$(frame_times "$(node --no-experimental-fetch build-web/funnies-bench.js)")
  echo "=== run $run: frame, us (fast path, 256 funnies)"
  join <(sort <<<"$native") <(sort <<<"$wasm") |
    awk '{ printf "  %-9s native %8.1f  wasm %8.1f  wasm/native %.2f\n", $1, $2, $3, $3 / $2 }'
done
