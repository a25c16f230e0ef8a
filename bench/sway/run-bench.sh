#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent on sway, measured: focus command to layout change for the agent and for a direct
# xkb_switch_layout at the same focus event, idle wake-ups and memory. See README.md.
# Usage: bench/sway/run-bench.sh BUILD-DIR [COUNT] [IDLE-SECONDS]
here=$(dirname "$(realpath "$0")")
source "$here/../as_test_user.sh" "$@"
build=$(realpath "$1")
count=${2:-50} idle=${3:-10}
source "$here/../../tests/e2e/lib.sh" "$build/programs/velmora/velmora" \
    "$build/tests/e2e/velmora_e2e_client"
source "$here/../x11/agent_stats.sh"
BENCH=$build/bench/sway/velmora_bench_sway_focus
start_display
start_sway us,de,ru
for app in bench-de bench-ru; do
    foot --app-id=$app sleep 600 >>"$WORK/foot.log" 2>&1 &
    PIDS+=($!)
    wait_until "$app's window" eval "swaymsg -t get_tree | grep -q '\"app_id\": \"$app\"'"
done
targets=(bench-de:1:German bench-ru:2:Russian)

"$BENCH" direct "$count" "${targets[@]}" || fail "the direct run failed"
"$VELMORA" rule bench-de xkb:de 2>/dev/null
"$VELMORA" rule bench-ru xkb:ru 2>/dev/null
QT_QPA_PLATFORM=offscreen "$VELMORA" >"$WORK/velmora-out.log" 2>>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "velmora on sway" velmora_says "running on sway"
"$BENCH" agent "$count" "${targets[@]}" || fail "the agent's run failed"
sleep 1 # the last selection's guard passes
measure_idle "$VELMORA_PID" "$idle"
echo "idle: $IDLE_WAKEUPS wake-ups and $IDLE_TICKS CPU ticks in $idle s"
echo "memory: $(awk '/^VmRSS/ { print $2, $3 }' /proc/"$VELMORA_PID"/status) resident"
