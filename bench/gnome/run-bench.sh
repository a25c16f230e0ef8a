#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent on GNOME Shell, measured inside the shell: focus change to the change of the current
# input source, for a direct selection through the extension at the same focus change, then for
# the agent, then directly again; the agent's idle wake-ups and memory. See README.md.
# Usage: bench/gnome/run-bench.sh BUILD-DIR [COUNT] [IDLE-SECONDS]
here=$(dirname "$(realpath "$0")")
if [ -z "${VELMORA_E2E_LIB:-}" ]; then
    build=$(realpath "$1")
    export VELMORA_E2E_LIB=$here/../../tests/e2e/lib.sh
    export VELMORA_WAYLAND_WINDOW=$build/tests/e2e/velmora_wayland_window
    export VELMORA_GNOME_EXTENSIONS=$build/gnome-shell-extensions
    export VELMORA_BENCH_PROGRAM=$build/bench/gnome/velmora_bench_gnome
    set -- "$build/programs/velmora/velmora" "$build/tests/e2e/velmora_e2e_client" "${@:2}"
fi
count=${3:-50} idle=${4:-10}
# Milliseconds from each FocusChanged read to the ActivateInputSource written after it, in the
# strace log $1 (median, 90th percentile).
focus_to_call() {
    awk '/recvmsg\(.*FocusChanged/ { at = $2 }
         /sendmsg\(.*ActivateInputSource/ && at { print ($2 - at) * 1000; at = 0 }' "$1" |
        sort -n | awk '{ v[NR] = $1 } END { if (NR) printf "median %.3f ms, p90 %.3f ms over %d", v[int(NR / 2) + 1], v[int(NR * 9 / 10) + 1], NR }'
}
traced() { strace -f -ttt -s 400 -e trace=recvmsg,sendmsg -o "$@"; }
E2E_PRIVATE_RUN=1 E2E_UNPRIVILEGED=1 source "$VELMORA_E2E_LIB"
source "$(dirname "$VELMORA_E2E_LIB")/../../bench/x11/agent_stats.sh"
start_gnome_shell
export XDG_CURRENT_DESKTOP=GNOME
printf '[Desktop Entry]\nType=Application\nName=Bench\nExec=true\n' \
    >"$XDG_DATA_HOME/applications/bench-de.desktop"
open_wayland_window bench-de
open_wayland_window bench-ru
wait_until "the windows" eval 'gnome_test ActivateWindowOf bench-de && gnome_test ActivateWindowOf bench-ru'
targets=(bench-de:de bench-ru:ru)
"$VELMORA_BENCH_PROGRAM" direct "$count" "${targets[@]}" || fail "the direct run failed"
"$VELMORA" rule bench-de xkb:de 2>/dev/null
"$VELMORA" rule bench-ru xkb:ru 2>/dev/null
QT_QPA_PLATFORM=offscreen "$VELMORA" >"$WORK/velmora-out.log" 2>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "velmora on GNOME" velmora_says "running on GNOME"
"$VELMORA_BENCH_PROGRAM" agent "$count" "${targets[@]}" || fail "the agent's run failed"
sleep 35 # Qt's pool threads end 30 s after their last job, which would count as a wake-up
measure_idle "$VELMORA_PID" "$idle"
echo "idle: $IDLE_WAKEUPS wake-ups and $IDLE_TICKS CPU ticks in $idle s"
echo "memory: $(sed -n 's/^VmRSS:[[:space:]]*//p' /proc/"$VELMORA_PID"/status) resident"
stop_velmora
# Once more without the agent: GNOME Shell's own part may have changed since the first run.
"$VELMORA_BENCH_PROGRAM" direct "$count" "${targets[@]}" || fail "the second direct run failed"
# Each program's own part, from the focus change reaching it to its call leaving it, both traced
# alike (strace adds the same to both): what the agent adds beside GNOME's own noise.
command -v strace >/dev/null || exit 0
traced "$WORK/direct.strace" "$VELMORA_BENCH_PROGRAM" direct "$count" "${targets[@]}" >/dev/null ||
    fail "the traced direct run failed"
echo "direct, in the program: $(focus_to_call "$WORK/direct.strace") focus changes"
QT_QPA_PLATFORM=offscreen traced "$WORK/agent.strace" "$VELMORA" >"$WORK/velmora-out.log" \
    2>"$WORK/velmora.log" &
PIDS+=($!)
wait_until "velmora on GNOME" velmora_says "running on GNOME"
"$VELMORA_BENCH_PROGRAM" agent "$count" "${targets[@]}" >/dev/null || fail "the traced agent failed"
echo "agent, in the program: $(focus_to_call "$WORK/agent.strace") focus changes"
