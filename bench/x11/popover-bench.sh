#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The popover with the icons of 20 real applications, in one Xvfb session with openbox:
#   bench/x11/popover-bench.sh BUILD-DIR
# Ten applications have desktop files whose icons are the SVG files of the machine's hicolor
# theme (XTerm's and Vim's), ten have none and set their own _NET_WM_ICON. Reports the first
# and later showings of the popover (velmora_bench_popover_icons, in process), then the RSS of
# the agent with its popover shown (a tray, trayer, so that it is the popover) and those 20
# applications running.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$1" && pwd)
find_binary() {
    local found
    found=$(find "$BUILD" -name "$1" -type f -perm -u+x | head -n 1)
    [ -n "$found" ] || { echo "popover-bench.sh: $1 is not built in $BUILD" >&2; exit 2; }
    echo "$found"
}
POPOVER=$(find_binary velmora_bench_popover_icons)
source "$HERE/../../tests/e2e/lib.sh" "$(find_binary velmora)" "$(find_binary velmora_e2e_client)"
source "$HERE/../../tests/e2e/popover_lib.sh"
# The machine's icon themes, with the private folders before them.
export XDG_DATA_DIRS="$XDG_DATA_DIRS:/usr/local/share:/usr/share"

icons=(mini.xterm xterm-color xterm filled-xterm gvim)
for i in $(seq 1 10); do
    printf '[Desktop Entry]\nType=Application\nName=Bench %s\nExec=true\nStartupWMClass=BenchSvg%s\nIcon=%s\n' \
        "$i" "$i" "${icons[$(((i - 1) % 5))]}" >"$XDG_DATA_HOME/applications/org.example.BenchSvg$i.desktop"
done
start_desktop
for i in $(seq 1 10); do
    open_windows "svg$i" "BenchSvg$i" 1
    open_windows "icon$i" "BenchIcon$i" 1 --icon "$(printf '%02x40c0' $((i * 20)))"
done

echo "== the popover with 20 applications' icons (in process, on the display)"
"$POPOVER"
"$POPOVER" --icons-only
[ -n "${VELMORA_BENCH_PERF:-}" ] && perf record -g -o "$VELMORA_BENCH_PERF" "$POPOVER" --icons-only

echo "== the agent with its popover shown and the 20 applications"
start_tray
start_velmora
wait_until "the popover" popover_found
sleep 2 # what the first showing started (painting, the icons' threads) settles
echo "RSS $(awk '/^VmRSS/ {printf "%.1f MB", $2 / 1024}' "/proc/$VELMORA_PID/status")," \
    "threads $(awk '/^Threads/ {print $2}' "/proc/$VELMORA_PID/status")"
stop_velmora
