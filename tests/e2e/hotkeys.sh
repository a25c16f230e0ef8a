#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Stored shortcuts select their layouts whatever is in front: Ctrl+Alt+K (K's position) ru,
# Ctrl+Shift+F1 de, also with Num and Caps Lock; Super+F1 (openbox's) is logged, the rest work.
# xdotool locks group 0 around its keys, so the checks read the group after each step.
source "$(dirname "$0")/lib.sh" "$@"

start_desktop
K=$(keycode_of AC08)
F1=$(keycode_of FK01)
[ -n "$K" ] && [ -n "$F1" ] || fail "no key codes for AC08 and FK01"

store_shortcuts xkb:ru 40 786432 xkb:de 122 393216 xkb:us 122 1048576

# press KEYS GROUP: holds KEYS down until the group is GROUP, lets go, and checks that the
# group stayed. The press alone fires the hotkey; xdotool's group restore after the release
# events must find the group the agent chose.
press() {
    xdotool keydown "$1"
    wait_until "group $2 after $1" group_is "$2"
    xdotool keyup "$1"
    group_is "$2" || fail "group $("$CLIENT" group) after letting go of $1, expected $2"
}

open_windows other Other 1
start_velmora
activate other
wait_until "the refused grab in the log" velmora_says "hotkey of xkb:us.*taken by another program"

press "ctrl+alt+$K" 2
press "ctrl+shift+$F1" 1
xdotool key Num_Lock Caps_Lock
press "ctrl+alt+$K" 2
press "ctrl+shift+$F1" 1
xdotool key Num_Lock Caps_Lock
press "ctrl+alt+$K" 2

stop_velmora
