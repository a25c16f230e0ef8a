#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the random event driver: EVENTS events (default 1000000) from SEED (default 1) on the
# simulated desktop, with every invariant checked after every step, in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-random-asan) unless PLAIN=1 asks
# for the plain build (build-random). A failure is cut down and printed as a scenario.
#
#   scripts/random-events.sh [EVENTS] [SEED] [SEEDS]
set -euo pipefail
cd "$(dirname "$0")/.."
events=${1:-1000000}
seed=${2:-1}
seeds=${3:-1}
if [[ ${PLAIN:-0} == 1 ]]; then
  build=build-random
  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
else
  build=build-random-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON)
fi
if [[ ! -f $build/build.ninja ]]; then
  cmake -S . -B "$build" -G Ninja "${flags[@]}" -DVELMORA_BUILD_BENCHMARKS=OFF \
    -DVELMORA_WERROR=ON >/dev/null
fi
cmake --build "$build" -j2 --target velmora-random >/dev/null
exec "$build/tests/random/velmora-random" --events "$events" --seed "$seed" --seeds "$seeds"
