#!/usr/bin/env bash
# Latency and cost of velmora on X11, in one Xvfb session with openbox and the layouts us,de,ru:
#   bench/x11/run-bench.sh BUILD-DIR [IDLE-SECONDS]
# Reports the time from an activation to the layout switch (50 alternating activations), the
# part of it beyond the 100 ms the agent waits by design, the same notify after a direct group
# lock as the baseline, idle CPU and wake-ups, memory, and the window-list read of 50 windows.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$1" && pwd)
IDLE_SECONDS=${2:-30}
find_binary() {
    local found
    found=$(find "$BUILD" -name "$1" -type f -perm -u+x | head -n 1)
    [ -n "$found" ] || { echo "run-bench.sh: $1 is not built in $BUILD" >&2; exit 2; }
    echo "$found"
}
ACTIVATION=$(find_binary velmora_bench_activation)
WINDOW_LIST=$(find_binary velmora_bench_window_list)
HOTKEY=$(find_binary velmora_bench_hotkey)
HOTKEY_REGISTRATION=$(find_binary velmora_bench_hotkey_registration)
source "$HERE/../../tests/e2e/lib.sh" "$(find_binary velmora)" "$(find_binary velmora_e2e_client)"

# Clock ticks of user and system time, and context switches, of every thread of process $1.
cpu_ticks() { cat /proc/"$1"/task/*/stat | awk '{ sum += $14 + $15 } END { print sum }'; }
switches() {
    cat /proc/"$1"/task/*/status |
        awk '/^(non)?voluntary_ctxt_switches/ { sum += $2 } END { print sum }'
}

start_desktop
# Hotkeys: Ctrl+Alt+K selects ru, Ctrl+Shift+F1 de (the rule commands keep what is there).
mkdir -p "$(dirname "$SETTINGS")"
cat >"$SETTINGS" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>shortcutOfInput</key><dict>
<key>xkb:ru</key><dict><key>keyCode</key><integer>40</integer><key>modifierFlags</key><integer>786432</integer></dict>
<key>xkb:de</key><dict><key>keyCode</key><integer>122</integer><key>modifierFlags</key><integer>393216</integer></dict>
</dict></dict></plist>
PLIST
"$VELMORA" rule BenchA xkb:de
"$VELMORA" rule BenchB xkb:ru
open_windows a BenchA 1
open_windows b BenchB 1
open_windows other Other 1
start_velmora
activate a # the first activation after start waits 200 ms more (the screen is new)
activate b

echo "== activation to layout switch (velmora), then a direct lock"
result=$("$ACTIVATION" "$(window a)" 1 "$(window b)" 2 50)
echo "$result"
median=$(sed -n 's/^activation to layout: .*median=\([0-9.]*\) ms.*/\1/p' <<<"$result")
echo "velmora's median overhead beyond its 100 ms wait: $(echo "$median - 100" | bc) ms"
"$ACTIVATION" --lock 50

echo "== hotkey to layout switch (velmora), then a direct lock"
"$HOTKEY" 50
echo "== registering 20 hotkeys with their grabs"
"$HOTKEY_REGISTRATION" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

echo "== idle for $IDLE_SECONDS s"
activate other
sleep 2
ticks_before=$(cpu_ticks "$VELMORA_PID")
switches_before=$(switches "$VELMORA_PID")
sleep "$IDLE_SECONDS"
ticks=$(($(cpu_ticks "$VELMORA_PID") - ticks_before))
wakeups=$(($(switches "$VELMORA_PID") - switches_before))
echo "CPU: $(echo "scale=3; $ticks / $(getconf CLK_TCK)" | bc) s; context switches: $wakeups" \
    "($(echo "scale=2; $wakeups / $IDLE_SECONDS" | bc) per second)"
echo "threads: $(ls /proc/"$VELMORA_PID"/task | wc -l)"
grep -E '^(VmRSS|VmHWM)' /proc/"$VELMORA_PID"/status

echo "== window list with 50 windows"
open_windows many Many 47
"$WINDOW_LIST" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
stop_velmora
