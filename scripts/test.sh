#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test twice: in a
# plain build and in an AddressSanitizer + UndefinedBehaviorSanitizer build; then the tests of
# what runs on more than one thread once more in a ThreadSanitizer build. The tests on a real
# X server start and stop their own Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
jobs=$(nproc)

# run_build DIR CMAKE-ARGS... [-- CTEST-ARGS...]
run_build() {
  local dir=$1; shift
  local configure=() tests=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do configure+=("$1"); shift; done
  [ $# -gt 0 ] && { shift; tests=("$@"); }
  echo "== $(basename "$dir"): configure and build"
  cmake -S "$top" -B "$dir" -G Ninja -DVELMORA_WERROR=ON "${configure[@]}" >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $(basename "$dir"): tests"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600 "${tests[@]}")
}

run_build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_build "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCHMARKS=OFF
# Qt is not built with ThreadSanitizer: the suppressions name only races inside Qt and glib.
# Of the end-to-end scripts only those run here where work crosses threads (the address-bar
# check on the global queue, the end of the agent while one runs, the workspace and the cursor
# asked from other threads); the others drive the main thread alone and would add many minutes
# that find nothing the plain runs miss.
(
  export TSAN_OPTIONS="suppressions=$top/scripts/tsan.supp halt_on_error=1 second_deadlock_stack=1"
  run_build "$top/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE_THREAD=ON \
    -DVELMORA_BUILD_BENCHMARKS=OFF -- -LE e2e
  cd "$top/build-tsan"
  ctest --output-on-failure -j "$jobs" --timeout 600 -R '^e2e\.(program|address_bar|x11_services|x11_cursor)$'
)
echo "== all tests passed"
