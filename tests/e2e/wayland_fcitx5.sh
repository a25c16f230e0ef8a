#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fcitx5 on a Wayland desktop (E2E_DESKTOP: sway, kde or gnome): with Fcitx5 running, "velmora
# sources" lists its group ("keyboard-us, pinyin") instead of the desktop's layouts, and bringing
# a Wayland window to the front (swaymsg, a KWin script, GNOME Shell's test extension) selects
# its rule's input method in that window's input context, which Qt's Fcitx5 module makes and
# focuses when the window gets the keyboard focus. Alternated twice: a selection that reached the context left would show the
# other's input method on the next focus.
# Usage: wayland_fcitx5.sh VELMORA E2E_CLIENT, the Qt window's program in $VELMORA_WAYLAND_WINDOW.
# Exit 77 (skipped) without the desktop, fcitx5, Qt's Fcitx5 module or setpriv.
desktop=${E2E_DESKTOP/kde/kwin_wayland}
command -v "${desktop/gnome/gnome-shell}" >/dev/null && command -v fcitx5 >/dev/null || exit 77
ls /usr/lib/*/qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so \
    >/dev/null 2>&1 || exit 77
[ "$E2E_DESKTOP" != gnome ] || export E2E_PRIVATE_RUN=1
E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
start_wayland_desktop
start_fcitx5

"$VELMORA" rule im-pinyin fcitx5:pinyin 2>/dev/null
"$VELMORA" rule im-us xkb:us 2>/dev/null
[ "$("$VELMORA" sources | cut -f1 | tr '\n' ' ')" = "fcitx5:keyboard-us fcitx5:pinyin " ] ||
    fail "velmora sources listed: $("$VELMORA" sources)"
# im-us's context has Pinyin, chosen by hand while it was the focused one, before the agent
# runs; im-pinyin's new one has Fcitx5's first input method, keyboard-us.
open_front_window im-us QT_IM_MODULE=fcitx
wait_until "im-us's input context focused" eval 'fcitx5_controller DebugInfo | grep -q "focus:1"'
fcitx5_controller SetCurrentIM string:pinyin
open_front_window im-pinyin QT_IM_MODULE=fcitx
wait_until "im-pinyin's input context focused" fcitx5_im_is keyboard-us
start_velmora
wait_until "velmora to take Fcitx5's input methods" velmora_says "input sources from Fcitx5"

for round in 1 2; do
    focus_app im-us
    wait_until "keyboard-us for im-us ($round)" fcitx5_im_is keyboard-us
    focus_app im-pinyin
    wait_until "Pinyin for im-pinyin ($round)" fcitx5_im_is pinyin
done
stop_velmora
