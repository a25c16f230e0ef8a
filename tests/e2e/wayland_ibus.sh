#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# IBus on a Wayland desktop (E2E_DESKTOP: sway or kde): ibus-daemon on the session bus, its
# address file named for the Wayland display, its configured engines the input sources; bringing
# a Wayland window to the front (swaymsg, a KWin script) selects its rule's engine as IBus's
# global engine, for an "ibus:xkb:us::eng" rule and one stored as "xkb:de" (IBus's German
# engine), each in turn.
# Usage: wayland_ibus.sh VELMORA E2E_CLIENT, the Qt window's program in $VELMORA_WAYLAND_WINDOW.
# Exit 77 (skipped) without the desktop, ibus-daemon or setpriv.
command -v "${E2E_DESKTOP/kde/kwin_wayland}" >/dev/null && command -v ibus-daemon >/dev/null ||
    exit 77
E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
start_wayland_desktop
start_ibus "['xkb:us::eng', 'xkb:de::deu', 'libpinyin']"

"$VELMORA" rule im-us ibus:xkb:us::eng 2>/dev/null
"$VELMORA" rule im-de xkb:de 2>/dev/null
sources_are() { [ "$("$VELMORA" sources 2>>"$WORK/sources.log" | cut -f1 | tr '\n' ' ')" = "$1" ]; }
wait_until "IBus's engines as sources" sources_are "ibus:xkb:us::eng ibus:xkb:de::deu ibus:libpinyin "
open_front_window im-us
open_front_window im-de
start_velmora
wait_until "velmora to take IBus's engines" velmora_says "input sources from IBus"

for round in 1 2 3; do
    focus_app im-us
    wait_until "English for im-us ($round)" engine_is xkb:us::eng
    focus_app im-de
    wait_until "German for im-de ($round)" engine_is xkb:de::deu
done
stop_velmora
