#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fcitx5 on sway: with Fcitx5 running, "velmora sources" lists its group ("keyboard-us, pinyin")
# instead of sway's layouts, and focusing a Wayland window through swaymsg selects its rule's
# input method in that window's input context, which Qt's Fcitx5 module makes and focuses when
# the window gets the keyboard focus. Alternated twice: a selection that reached the context
# left would show the other's input method on the next focus.
# Usage: sway_fcitx5.sh VELMORA E2E_CLIENT, the Qt window's program in $VELMORA_WAYLAND_WINDOW.
# Exit 77 (skipped) without sway, fcitx5, Qt's Fcitx5 module or setpriv.
command -v sway >/dev/null && command -v fcitx5 >/dev/null || exit 77
ls /usr/lib/*/qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so \
    >/dev/null 2>&1 || exit 77
WINDOW=$(realpath "$VELMORA_WAYLAND_WINDOW")
E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
unset WAYLAND_DISPLAY SWAYSOCK
start_display
start_session_bus
start_sway us,de
# A session without XWayland: nothing below knows of an X display.
unset DISPLAY
start_fcitx5

"$VELMORA" rule im-pinyin fcitx5:pinyin 2>/dev/null
"$VELMORA" rule im-us xkb:us 2>/dev/null
[ "$("$VELMORA" sources | cut -f1 | tr '\n' ' ')" = "fcitx5:keyboard-us fcitx5:pinyin " ] ||
    fail "velmora sources on sway listed: $("$VELMORA" sources)"
open_window() {
    QT_IM_MODULE=fcitx QT_QPA_PLATFORM=wayland "$WINDOW" $1 >>"$WORK/windows.log" 2>&1 &
    PIDS+=($!)
    wait_until "$1's window" eval "swaymsg -t get_tree | grep -q '\"app_id\": \"$1\"'"
}
# im-us's context has Pinyin, chosen by hand while it was the focused one, before the agent
# runs; im-pinyin's new one has Fcitx5's first input method, keyboard-us.
open_window im-us
wait_until "im-us's input context focused" eval 'fcitx5_controller DebugInfo | grep -q "focus:1"'
fcitx5_controller SetCurrentIM string:pinyin
open_window im-pinyin
wait_until "im-pinyin's input context focused" fcitx5_im_is keyboard-us
QT_QPA_PLATFORM=offscreen "$VELMORA" >"$WORK/velmora-out.log" 2>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "velmora to take Fcitx5's input methods" velmora_says "input sources from Fcitx5"

for round in 1 2; do
    swaymsg -q '[app_id="im-us"] focus'
    wait_until "keyboard-us for im-us ($round)" fcitx5_im_is keyboard-us
    swaymsg -q '[app_id="im-pinyin"] focus'
    wait_until "Pinyin for im-pinyin ($round)" fcitx5_im_is pinyin
done
stop_velmora
