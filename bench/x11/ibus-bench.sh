#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent with IBus, in one Xvfb session with openbox, a private session bus and IBus with the
# preload engines xkb:us::eng and libpinyin:
#   bench/x11/ibus-bench.sh BUILD-DIR [COUNT] [IDLE-SECONDS]
# Reports the time from an activation to IBus's new global engine beside a direct
# SetGlobalEngine in the same run, alone and made by the benchmark at an activation's focus, the agent's idle wake-ups with IBus connected, and the
# agent's memory before IBus starts, once it is connected, and after the switches.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$1" && pwd)
COUNT=${2:-50}
IDLE_SECONDS=${3:-30}
find_binary() { find "$BUILD" -name "$1" -type f -perm -u+x | head -n 1; }
BENCH=$(find_binary velmora_bench_ibus)
source "$HERE/../../tests/e2e/lib.sh" "$(find_binary velmora)" "$(find_binary velmora_e2e_client)"
source "$HERE/agent_stats.sh"
rss_kb() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' /proc/"$VELMORA_PID"/status; }

start_desktop
start_session_bus
XDG_DATA_DIRS=/usr/share dconf write /desktop/ibus/general/preload-engines "['xkb:us::eng', 'libpinyin']"
"$VELMORA" rule BenchA ibus:libpinyin
"$VELMORA" rule BenchB xkb:us
open_windows a BenchA 1
open_windows b BenchB 1
open_windows c BenchC 1
open_windows d BenchD 1
start_velmora
sleep 2
before=$(rss_kb)
XDG_DATA_DIRS=/usr/share ibus-daemon --panel=disable --emoji-extension=disable \
    >"$WORK/ibus.log" 2>&1 &
PIDS+=($!)
wait_until "the agent to take IBus's engines" velmora_says "input sources from IBus"
sleep 2
connected=$(rss_kb)
# The first switch to an engine starts it: once each before timing.
activate a
activate b
sleep 1
echo "== activation to IBus's global engine (velmora), beside a direct SetGlobalEngine"
"$BENCH" "$(XDG_DATA_DIRS=/usr/share ibus address)" "$(window a)" libpinyin "$(window b)" \
    xkb:us::eng "$(window c)" "$(window d)" "$COUNT"
echo "== idle for $IDLE_SECONDS s with IBus connected"
sleep 2
measure_idle "$VELMORA_PID" "$IDLE_SECONDS"
echo "context switches: $IDLE_WAKEUPS ($(echo "scale=2; $IDLE_WAKEUPS / $IDLE_SECONDS" | bc)" \
    "per second); CPU ticks: $IDLE_TICKS"
echo "== memory: VmRSS $before kB before IBus, $connected kB connected" \
    "($((connected - before)) kB more), $(rss_kb) kB after $((2 * COUNT + 2)) switches"
stop_velmora
