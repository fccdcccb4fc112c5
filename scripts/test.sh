#!/usr/bin/env bash
# Builds funnies with warnings as errors and runs its tests, all of them CTest tests, by label:
#   unit      the unit tests, then again with a short soak under AddressSanitizer and
#             UndefinedBehaviorSanitizer
#   lint      shellcheck, clang-format, the folders' includes, clang-tidy
#   e2e       the program in a virtual X server
#   wayland   the program under Xwayland in a headless Wayland compositor
#   memcheck  valgrind's memcheck of the frame pipeline
#   package   the Debian package with lintian
#   windows   the Windows program with its unit tests, end-to-end tests and benchmark under Wine
#   arm64     the arm64 program with its unit tests, a smoke test, the benchmark and its package
#             under qemu
#   web       the browser's build with its unit tests and benchmark under node, and its page in
#             Chromium, Firefox ESR and WebKit
# Usage: scripts/test.sh [LABEL...]; with none, every label. Each label builds what it needs
# (the cross builds' scenarios use the release build's helpers, so that is built for them too)
# and the packages it needs are installed first. Each stage's time is printed as it ends.
set -euo pipefail
cd "$(dirname "$0")/.."

all_labels=(unit lint e2e wayland memcheck package windows arm64 web)
labels=("$@")
[ ${#labels[@]} -gt 0 ] || labels=("${all_labels[@]}")
for label in "${labels[@]}"; do
  [[ " ${all_labels[*]} " == *" $label "* ]] ||
    { echo "test.sh: no label '$label' (${all_labels[*]})" >&2; exit 2; }
done
wants() { [[ " ${labels[*]} " == *" $1 "* ]]; }

started=$SECONDS
stage_started=$SECONDS
# stage NAME: the time since the last stage ended, under NAME.
stage() {
  printf '== %s: %d s (%d s in all)\n' "$1" $((SECONDS - stage_started)) $((SECONDS - started))
  stage_started=$SECONDS
}

sets=(test)
for set in windows arm64 web; do
  if wants "$set"; then sets+=("$set"); fi
done
scripts/install-deps.sh "${sets[@]}"
stage "packages"

cmake --preset release >/dev/null
cmake --build --preset release
stage "release build"

if wants unit; then
  ctest --preset release -j 2 -L unit
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize
  (
    export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
    ctest --preset sanitize -j 2 -L unit
    SOAK_CHECK_MEMORY=0 ctest --preset sanitize -R '^e2e_soak$'
  )
  stage "unit"
fi
if wants lint; then
  ctest --preset release -L lint
  stage lint
fi
if wants e2e; then
  ctest --preset release -j 2 -L e2e # each scenario has its own X server
  stage e2e
fi
for label in wayland memcheck; do
  if wants $label; then
    ctest --preset release -L $label
    stage $label
  fi
done
if wants package; then
  ctest --preset release -L package --verbose # prints the checks and what lintian said
  stage package
fi

# The cross builds' tests leave a core idle most of the time (Wine's scenarios wait for windows,
# the arm64 benchmark takes one core), so they overlap: each builds in turn, then runs its tests
# in the background, its output kept and shown when it ends, while the next builds. They share
# no display, port or Wine prefix. The browser's scenarios wait for the others: they time the
# page.
lanes=()
lane_log=$(mktemp -d)
# A stage that fails ends the lanes still running too.
end_lanes() {
  local running
  mapfile -t running < <(jobs -p)
  [ ${#running[@]} -eq 0 ] || kill "${running[@]}" 2>/dev/null || true
  rm -rf "$lane_log"
}
trap end_lanes EXIT
# cross_tests PRESET: the preset's label, its benchmark last, whose figures it prints.
cross_tests() {
  ctest --preset "$1" -j 2 --output-on-failure -L "$1" -E "^$1_bench\$"
  ctest --preset "$1" -R "^$1_bench\$" --verbose
}
# in_background PRESET: its tests in the background, their output and then their time kept.
in_background() {
  (
    began=$SECONDS
    cross_tests "$1"
    printf '== %s: %d s, beside the stages above\n' "$1" $((SECONDS - began))
  ) >"$lane_log/$1" 2>&1 &
  lanes+=("$1:$!")
}
# wait_for_lanes: each background lane's output; stops at the first that failed.
wait_for_lanes() {
  local lane name pid status
  for lane in "${lanes[@]}"; do
    IFS=: read -r name pid <<<"$lane"
    status=0
    wait "$pid" || status=$?
    cat "$lane_log/$name"
    [ "$status" -eq 0 ] || { echo "test.sh: the $name tests failed" >&2; exit "$status"; }
  done
}
build_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  stage "$1 build"
}
for label in windows arm64; do
  if wants $label; then
    build_preset $label
    in_background $label
  fi
done
if wants web; then build_preset web; fi
if [ ${#lanes[@]} -gt 0 ]; then
  wait_for_lanes
  stage "the rest of ${lanes[*]%%:*}"
fi
if wants web; then
  cross_tests web
  stage web
fi
