#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent on KDE Plasma: KWin (start_kwin in lib.sh), Qt windows by app id, activation
# through a one-shot KWin script, layouts read and set through KWin's keyboard service.
# Usage: kde.sh VELMORA E2E_CLIENT, with the Qt window's program in $VELMORA_WAYLAND_WINDOW and
# the fake panel's in $VELMORA_FAKE_SERVICES.
# Exit 77 (skipped) without kwin_wayland or dbus-send.
command -v kwin_wayland >/dev/null && command -v dbus-send >/dev/null || exit 77
E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
unset WAYLAND_DISPLAY SWAYSOCK

start_kwin
layout() { call org.kde.keyboard /Layouts org.kde.KeyboardLayouts.getLayout | awk '{print $2}'; }
set_layout() { call org.kde.keyboard /Layouts org.kde.KeyboardLayouts.setLayout "uint32:$1" >/dev/null; }
layout_is() { [ "$(layout)" = "$1" ]; }
"$VELMORA" desktop | grep -qx 'desktop: kde' || fail "velmora desktop did not find KDE"

# Ctrl+Alt+D (D's key code 2) selects German.
store_shortcuts 'xkb:de' 2 $((0x40000 | 0x80000))
"$VELMORA" rule term-de xkb:de 2>/dev/null
"$VELMORA" rule term-ru xkb:ru 2>/dev/null
# list_windows: "PID X Y WIDTH HEIGHT APP-ID" for each window KWin has (layer surfaces too), in
# $WORK/windows, as the script prints them to KWin's log.
list_windows() {
    local tag="list-$((KWIN_LOADS + 1))"
    kwin_run_script list "var all = $KWIN_ALL;
for (var i = 0; i < all.length; ++i) { var g = all[i].frameGeometry;
    print('$tag', all[i].pid, g.x, g.y, g.width, g.height, all[i].desktopFileName); }
print('$tag', 'end');"
    wait_until "KWin's window list" grep -q "js: $tag end" "$WORK/kwin.log"
    sed -n "s/^js: $tag \([0-9]\)/\1/p" "$WORK/kwin.log" >"$WORK/windows"
}
open_wayland_window term-de
open_wayland_window term-ru
wait_until "the windows" eval 'list_windows; [ "$(grep -c term- "$WORK/windows")" = 2 ]'

# The command line asks KWin, not XWayland, for layouts and windows; a rule notes a layout KWin
# does not have.
[ "$("$VELMORA" sources | cut -f1 | tr '\n' ' ')" = "xkb:us xkb:de xkb:ru " ] ||
    fail "velmora sources did not list KWin's layouts: $("$VELMORA" sources 2>&1)"
[ "$("$VELMORA" apps | cut -f1 | sort | tr '\n' ' ')" = "term-de term-ru " ] ||
    fail "velmora apps did not list KWin's windows: $("$VELMORA" apps 2>&1)"
"$VELMORA" rule term-fr xkb:fr >"$WORK/rule.log" 2>&1
grep -q "xkb:fr is not among the keyboard layouts" "$WORK/rule.log" ||
    fail "no note for a rule's missing layout: $(<"$WORK/rule.log")"

# The tray, with Qt on Wayland as in a Plasma session: the agent's item registers with the
# panel's watcher; activating it, as a click on the panel does, opens the popover, a window of
# the agent's other than the 20 x 20 indicator. Started as at login, the agent shows nothing by
# itself. (Qt's Wayland plugin and the sanitizers: as in sway.sh.)
"$VELMORA_FAKE_SERVICES" tray >"$WORK/tray" 2>>"$WORK/client.log" &
PIDS+=($!)
wait_until "the panel's tray" grep -qx ready "$WORK/tray"
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" TSAN_OPTIONS="${TSAN_OPTIONS:-}:report_bugs=0" \
    QT_QPA_PLATFORM=wayland "$VELMORA" --autostart >"$WORK/velmora-out.log" 2>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "the tray item" grep -q RegisterStatusNotifierItem "$WORK/tray"
popover_open() { list_windows && awk -v pid="$VELMORA_PID" '$1 == pid && $4 != 20' "$WORK/windows" | grep -q .; }
popover_open && fail "the popover opened by itself"
gdbus call --session --dest "$(sed -n 's/^RegisterStatusNotifierItem\t//p' "$WORK/tray" | head -n 1)" \
    --object-path /StatusNotifierItem --method org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
wait_until "the popover's window" popover_open
stop_velmora

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

# The floating indicator, a layer surface of the agent's: its bottom-left corner 25 in from the
# front window's right edge and 5 above its bottom, also once KWin moved that window.
# indicator_at_corner APP [X]: so at APP's window (once that window is at X).
indicator_at_corner() {
    list_windows
    read -r x y width height < <(awk -v app="$1" '$6 == app {print $2, $3, $4, $5}' "$WORK/windows")
    [ "$x" = "${2:-$x}" ] && awk -v pid="$VELMORA_PID" -v x=$((x + width - 25)) \
        -v y=$((y + height - 25)) '$1 == pid && $2 == x && $3 == y && $4 == 20' "$WORK/windows" |
        grep -q .
}
wait_until "the indicator at term-ru's corner" indicator_at_corner term-ru
kwin_run_script move "var w = workspace.activeWindow || workspace.activeClient;
w.frameGeometry = {x: 40, y: 30, width: w.frameGeometry.width, height: w.frameGeometry.height};"
wait_until "the indicator at the moved term-ru's corner" indicator_at_corner term-ru 40

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
