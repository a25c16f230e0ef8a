#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds with warnings as errors, and runs every test three times: in a
# plain build, in an AddressSanitizer + UndefinedBehaviorSanitizer build and in a
# ThreadSanitizer build. The tests on a real X server start and stop their own Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
jobs=$(nproc)

run_build() {
  local dir=$1; shift
  echo "== $(basename "$dir"): configure and build"
  cmake -S "$top" -B "$dir" -G Ninja -DVELMORA_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $(basename "$dir"): tests"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600)
}

run_build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_build "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCHMARKS=OFF
# Qt and glib are not built with ThreadSanitizer: scripts/tsan.supp, built into every program of
# that build, says what of theirs is not tracked. The whole suite runs under it: its tests take under two minutes on 2 cores.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  run_build "$top/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE_THREAD=ON \
  -DVELMORA_BUILD_BENCHMARKS=OFF
# The fuzz targets for half a minute each, from the seeds of fuzz/corpus (see fuzz/README.md).
"$top/scripts/fuzz.sh" 30
echo "== all tests passed"
