#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# IBus on sway: ibus-daemon on the session bus (its address file named for the Wayland display),
# its configured engines the input sources; focusing a Wayland window through swaymsg selects its
# rule's engine as IBus's global engine, an "ibus:xkb:us::eng" rule and one stored as "xkb:de"
# (IBus's German engine), each focus in turn.
# Usage: sway_ibus.sh VELMORA E2E_CLIENT, the Qt window's program in $VELMORA_WAYLAND_WINDOW.
# Exit 77 (skipped) without sway, ibus-daemon or setpriv.
command -v sway >/dev/null && command -v ibus-daemon >/dev/null || exit 77
WINDOW=$(realpath "$VELMORA_WAYLAND_WINDOW")
E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
unset WAYLAND_DISPLAY SWAYSOCK
start_display
start_session_bus
start_sway us,de
# A session without XWayland: nothing below knows of an X display.
unset DISPLAY
start_ibus "['xkb:us::eng', 'xkb:de::deu', 'libpinyin']"

"$VELMORA" rule im-us ibus:xkb:us::eng 2>/dev/null
"$VELMORA" rule im-de xkb:de 2>/dev/null
sources_are() { [ "$("$VELMORA" sources 2>>"$WORK/sources.log" | cut -f1 | tr '\n' ' ')" = "$1" ]; }
wait_until "IBus's engines as sources" sources_are "ibus:xkb:us::eng ibus:xkb:de::deu ibus:libpinyin "
for app in im-us im-de; do
    QT_QPA_PLATFORM=wayland "$WINDOW" $app >>"$WORK/windows.log" 2>&1 &
    PIDS+=($!)
    wait_until "$app's window" eval "swaymsg -t get_tree | grep -q '\"app_id\": \"$app\"'"
done
QT_QPA_PLATFORM=offscreen "$VELMORA" >"$WORK/velmora-out.log" 2>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "velmora to take IBus's engines" velmora_says "input sources from IBus"

for round in 1 2; do
    swaymsg -q '[app_id="im-us"] focus'
    wait_until "English for im-us ($round)" engine_is xkb:us::eng
    swaymsg -q '[app_id="im-de"] focus'
    wait_until "German for im-de ($round)" engine_is xkb:de::deu
done
stop_velmora
