#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Velmora and runs the demo: the tour scenario on the simulated desktop, with its trace.
# With --agent, runs the real agent on the desktop it finds (X11, sway or KDE Plasma) instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the two programs: the tests and benchmarks are scripts/test.sh's business.
targets=(velmora-sim)
[ "${1:-}" = "--agent" ] && targets=(velmora)
cmake --build "$top/build" --target "${targets[@]}"
if [ "${1:-}" = "--agent" ]; then
  shift
  exec "$top/build/programs/velmora/velmora" "$@"
fi
exec "$top/build/programs/velmora-sim/velmora-sim" "$top/examples/tour.scenario"
