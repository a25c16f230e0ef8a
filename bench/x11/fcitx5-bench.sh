#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent with Fcitx5, in one Xvfb session with openbox, a private session bus and Fcitx5 with
# the group "keyboard-us, pinyin" (its own configuration, input state shared by all contexts so
# that each activation changes it, as IBus's global engine), and an application whose input
# contexts take Fcitx5's focus FOCUS-MS after its windows take the desktop's:
#   bench/x11/fcitx5-bench.sh BUILD-DIR [COUNT] [IDLE-SECONDS] [FOCUS-MS] [PANEL] [SHARE]
# With PANEL "panel", a tray watcher is on the bus and Fcitx5 runs its own user interface, which
# then shows its tray item (as in a session with a panel); with "-", neither. SHARE is Fcitx5's
# "Share Input State": No (its default: an input method per context; after each activation the
# benchmark gives the window's context the other one, so that every activation changes it) or
# All.
# Reports the time from an activation to Fcitx5's input method for the new window's context
# beside a direct SetCurrentIM in the same run, the DebugInfo calls the agent made meanwhile, the
# agent's idle wake-ups with Fcitx5 connected, and the agent's memory before Fcitx5 starts, once
# it is connected, and after the switches.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$1" && pwd)
COUNT=${2:-50}
IDLE_SECONDS=${3:-30}
FOCUS_MS=${4:-10}
PANEL=${5:--}
SHARE=${6:-No}
find_binary() { find "$BUILD" -name "$1" -type f -perm -u+x | head -n 1; }
BENCH=$(find_binary velmora_bench_ibus)
IM_CLIENT=$(find_binary velmora_fcitx5_client)
source "$HERE/../../tests/e2e/lib.sh" "$(find_binary velmora)" "$(find_binary velmora_e2e_client)"
source "$HERE/agent_stats.sh"
rss_kb() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' /proc/"$VELMORA_PID"/status; }

mkdir -p "$XDG_CONFIG_HOME/fcitx5"
printf '[Behavior]\nShareInputState=%s\n' "$SHARE" >"$XDG_CONFIG_HOME/fcitx5/config"
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
PROFILE
start_desktop
dbus-daemon --session --nofork --print-address=5 5>"$WORK/bus" 2>"$WORK/bus.log" &
PIDS+=($!)
wait_until "the session bus" test -s "$WORK/bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$WORK/bus")
"$VELMORA" rule BenchA fcitx5:pinyin 2>/dev/null
"$VELMORA" rule BenchB fcitx5:keyboard-us 2>/dev/null
addons=dbus,dbusfrontend,keyboard,pinyin,punctuation,xcb
if [ "$PANEL" = panel ]; then
    "$(find_binary velmora_fake_desktop_services)" tray >"$WORK/tray" 2>>"$WORK/client.log" &
    PIDS+=($!)
    wait_until "the panel's tray" grep -qx ready "$WORK/tray"
    addons=$addons,classicui,notificationitem
fi
start_velmora
started=$SECONDS
sleep 2
before=$(rss_kb)
fcitx5 --disable=all --enable=$addons >"$WORK/fcitx5.log" 2>&1 &
PIDS+=($!)
wait_until "the agent to take Fcitx5's input methods" velmora_says "input sources from Fcitx5"
sleep 2
connected=$(rss_kb)
"$IM_CLIENT" "$FOCUS_MS" 100000 BenchA BenchB BenchC BenchD >"$WORK/im-client.log" 2>>"$WORK/client.log" &
PIDS+=($!)
wait_until "the application's windows" has_lines "$WORK/im-client.log" 4
sed -n 's/^window //p' "$WORK/im-client.log" >"$WORK/windows-bench"
# The agent's first activation waits for the screen, and Fcitx5 loads Pinyin the first time it
# is selected: once each before timing.
pinyin_loaded() { grep -q '^im BenchA pinyin' "$WORK/im-client.log"; }
activate bench 1
wait_until "Pinyin in BenchA" pinyin_loaded
activate bench 2
sleep 1
# The agent's DebugInfo calls, counted on the bus while the activations are timed.
dbus-monitor --session "type='method_call',member='DebugInfo'" >"$WORK/debuginfo.log" 2>&1 &
MONITOR=$!
PIDS+=("$MONITOR")
sleep 0.5
echo "== activation to Fcitx5's input method (velmora), beside a direct SetCurrentIM;" \
    "the application's contexts take Fcitx5's focus $FOCUS_MS ms after its windows"
"$BENCH" "$DBUS_SESSION_BUS_ADDRESS" "$(window bench 1)" pinyin "$(window bench 2)" keyboard-us \
    "$(window bench 3)" "$(window bench 4)" "$COUNT" "$WORK/im-client.log" \
    "$([ "$SHARE" = All ] || echo per-context)"
sleep 0.5
stop_pid "$MONITOR"
calls=$(grep -c 'member=DebugInfo' "$WORK/debuginfo.log" || true)
echo "DebugInfo calls: $calls for $((2 * COUNT)) activations, $COUNT of them with rules"
echo "== idle for $IDLE_SECONDS s with Fcitx5 connected"
# Qt's pool threads end 30 s after their last job, which counts as a wake-up.
sleep $((SECONDS - started < 33 ? 35 - (SECONDS - started) : 2))
measure_idle "$VELMORA_PID" "$IDLE_SECONDS"
echo "context switches: $IDLE_WAKEUPS ($(echo "scale=2; $IDLE_WAKEUPS / $IDLE_SECONDS" | bc)" \
    "per second); CPU ticks: $IDLE_TICKS"
echo "== memory: VmRSS $before kB before Fcitx5, $connected kB connected" \
    "($((connected - before)) kB more), $(rss_kb) kB after $((2 * COUNT + 2)) switches" \
    "($(($(rss_kb) - connected)) kB more)"
stop_velmora
