#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent on KDE Plasma: KWin (kwin_wayland --virtual) on a session bus of the test's own,
# layouts us,de,ru from kxkbrc, Qt windows by app id, activation through a one-shot KWin
# script, layouts read and set through KWin's keyboard service.
# Usage: kde.sh VELMORA E2E_CLIENT, with the Qt window's program in $VELMORA_WAYLAND_WINDOW.
# Exit 77 (skipped) without kwin_wayland or dbus-send.
command -v kwin_wayland >/dev/null && command -v dbus-send >/dev/null || exit 77
E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
unset WAYLAND_DISPLAY SWAYSOCK

start_session_bus
start_kwin
layout() { call org.kde.keyboard /Layouts org.kde.KeyboardLayouts.getLayout | awk '{print $2}'; }
set_layout() { call org.kde.keyboard /Layouts org.kde.KeyboardLayouts.setLayout "uint32:$1" >/dev/null; }
layout_is() { [ "$(layout)" = "$1" ]; }
"$VELMORA" desktop | grep -qx 'desktop: kde' || fail "velmora desktop did not find KDE"
# The command line asks KWin, not XWayland, for the layouts.
[ "$("$VELMORA" sources | cut -f1 | tr '\n' ' ')" = "xkb:us xkb:de xkb:ru " ] ||
    fail "velmora sources did not list KWin's layouts: $("$VELMORA" sources 2>&1)"

# Ctrl+Alt+D (D's key code 2) selects German.
store_shortcuts 'xkb:de' 2 $((0x40000 | 0x80000))
# The command line cannot know which applications run: said, not guessed.
"$VELMORA" rule term-de xkb:de 2>"$WORK/rule.log"
grep -q "installed (KWin tells only the agent which ones run)" "$WORK/rule.log" ||
    fail "the rule's note: $(<"$WORK/rule.log")"
! "$VELMORA" apps 2>"$WORK/apps.log" || fail "velmora apps listed applications on KDE"
grep -q "KWin tells only the agent" "$WORK/apps.log" || fail "velmora apps: $(<"$WORK/apps.log")"
"$VELMORA" rule term-ru xkb:ru 2>/dev/null
open_wayland_window term-de
open_wayland_window term-ru
: >"$WORK/velmora.log"
QT_QPA_PLATFORM=offscreen "$VELMORA" >"$WORK/velmora-out.log" 2>>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "velmora on KDE" velmora_says "running on KDE"

# Activation selects the rule, each time. The windows may still be on their way: the first
# activation is repeated until one is there.
wait_until "German for term-de" eval 'kwin_activate term-de; layout_is 1'
for round in 1 2; do
    kwin_activate term-de
    wait_until "German for term-de" layout_is 1
    kwin_activate term-ru
    wait_until "Russian for term-ru" layout_is 2
done

# A layout chosen by hand (English) stays until the next activation selects German: no
# Russian of the window in front comes between.
dbus-monitor --session "type='signal',member='layoutChanged'" >"$WORK/changes" 2>&1 &
PIDS+=($!)
wait_until "the signal monitor" test -s "$WORK/changes"
set_layout 0
kwin_activate term-de
after_hand() { grep -o 'uint32 [0-9]*' "$WORK/changes" | awk '{print $2}' | tr '\n' ' ' | sed 's/^0 //'; }
wait_until "English, then German" eval '[ "$(after_hand)" = "1 " ]'

# Another caller telling of an activation is not KWin: ignored, said.
agent=$(grep -o '":1\.[0-9]*"' "$XDG_RUNTIME_DIR"/velmora/kwin-activations-*.js | tr -d '"')
call "$agent" /com/quorvant/Velmora/KWin com.quorvant.Velmora.KWin.windowActivated \
    string:x string:term-ru string:term-ru string:1 string:0,0,1,1 >/dev/null
wait_until "a word about the foreign caller" velmora_says "other than KWin"
layout_is 1 || fail "a foreign caller switched the layout to $(layout)"

# The stored hotkey, bound through KDE's global shortcuts with the keys the settings store (Qt's
# Ctrl | Alt | Key_D). No key can be pressed into KWin's virtual session from here (no uinput,
# no virtual keyboard client), so the test has kglobalaccel invoke the shortcut, as a press would.
action=array:string:velmora,xkb:de,Velmora,xkb:de
wait_until "the hotkey's keys" eval 'call org.kde.kglobalaccel /kglobalaccel \
    org.kde.KGlobalAccel.shortcut $action | grep -qw $((0x04000000 | 0x08000000 | 0x44))'
set_layout 0
wait_until "English by hand" layout_is 0
call org.kde.kglobalaccel /component/velmora org.kde.kglobalaccel.Component.invokeShortcut \
    string:xkb:de >/dev/null
wait_until "the hotkey's German" layout_is 1

# KWin going away ends the agent with a word, its settings saved and the rules kept.
kill "$KWIN_PID"
wait_for_velmora_exit
[ "$VELMORA_STATUS" -eq 1 ] || fail "velmora exited with $VELMORA_STATUS when KWin went away"
velmora_says "KWin is gone" || fail "velmora did not say that KWin is gone"
grep -q term-ru "$SETTINGS" || fail "the settings lost the rules"
