#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent on KWin, measured: activation command to layout change for the agent and for a
# direct setLayout at the same activation event, idle wake-ups and memory. See README.md.
# Usage: bench/kde/run-bench.sh BUILD-DIR [COUNT] [IDLE-SECONDS]
here=$(dirname "$(realpath "$0")")
source "$here/../as_test_user.sh" "$@"
build=$(realpath "$1")
count=${2:-50} idle=${3:-10}
source "$here/../../tests/e2e/lib.sh" "$build/programs/velmora/velmora" \
    "$build/tests/e2e/velmora_e2e_client"
source "$here/../x11/agent_stats.sh"
BENCH=$build/bench/kde/velmora_bench_kde_activation
start_kwin
for app in bench-de bench-ru; do
    QT_QPA_PLATFORM=wayland "$build/tests/e2e/velmora_wayland_window" $app >>"$WORK/windows.log" 2>&1 &
    PIDS+=($!)
done
wait_until "the windows" eval '[ "$("$VELMORA" apps | grep -c "^bench-")" = 2 ]'
mkdir -p "$WORK/scripts"
targets=(bench-de:1 bench-ru:2)
"$VELMORA" rule bench-de xkb:de 2>/dev/null
"$VELMORA" rule bench-ru xkb:ru 2>/dev/null
# Side by side: rounds of the direct path and of the agent in turn, so that both meet the same
# load of the machine.
rounds=5
for round in $(seq "$rounds"); do
    "$BENCH" direct $((count / rounds)) "${targets[@]}" "$WORK/scripts" >>"$WORK/direct" ||
        fail "the direct run failed"
    : >"$WORK/velmora.log"
    QT_QPA_PLATFORM=offscreen "$VELMORA" --autostart >"$WORK/velmora-out.log" 2>>"$WORK/velmora.log" &
    VELMORA_PID=$!
    PIDS+=("$VELMORA_PID")
    wait_until "velmora on KDE" velmora_says "running on KDE"
    "$BENCH" agent $((count / rounds)) "${targets[@]}" "$WORK/scripts" >>"$WORK/agent" ||
        fail "the agent's run failed"
    [ "$round" -eq "$rounds" ] || stop_velmora
done
# summary FILE: the median and the 90th percentile of the times in FILE.
summary() {
    sort -n "$WORK/$1" | awk -v name="$1" '{ v[NR] = $1 } END {
        printf "%s: median %.3f ms, p90 %.3f ms over %d activations\n", name,
            v[int((NR - 1) * 0.5) + 1], v[int((NR - 1) * 0.9) + 1], NR }'
}
summary direct
summary agent
sleep 1 # the last selection's guard passes
measure_idle "$VELMORA_PID" "$idle"
echo "idle: $IDLE_WAKEUPS wake-ups and $IDLE_TICKS CPU ticks in $idle s"
echo "memory: $(awk '/^VmRSS/ { print $2, $3 }' /proc/"$VELMORA_PID"/status) resident"
