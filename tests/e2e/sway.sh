#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent on sway: sway on the test's Xvfb (its X11 backend gives it a keyboard with the
# layouts us,de,ru,fr), foot windows by app id, focus and layouts through swaymsg, a hotkey
# pressed on sway's own window, the indicator seen on that window, the tray through a fake
# panel watcher. sway refuses to run as root: as root (CI) the script runs itself again as an
# unprivileged user of its own.
# Usage: sway.sh VELMORA E2E_CLIENT. Exit 77 (skipped) without sway, foot or setpriv.
command -v sway >/dev/null && command -v foot >/dev/null || exit 77
E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
unset WAYLAND_DISPLAY SWAYSOCK
start_display

# velmora desktop: no Wayland session yet, so X11; under one that is not sway, no XWayland.
"$VELMORA" desktop | grep -qx 'desktop: x11' || fail "velmora desktop found no X11"
WAYLAND_DISPLAY=elsewhere "$VELMORA" 2>"$WORK/refused.log" && fail "velmora ran without sway"
grep -q "not used in a Wayland session" "$WORK/refused.log" || fail "no word about XWayland"

LAYOUTS=us,de,ru,fr
start_sway $LAYOUTS
"$VELMORA" desktop | grep -qx 'desktop: sway' || fail "velmora desktop did not find sway"

# Ctrl+Alt+D (D's key code 2) selects German.
store_shortcuts 'xkb:de' 2 $((0x40000 | 0x80000))
"$VELMORA" rule term-de xkb:de 2>/dev/null
"$VELMORA" rule term-ru xkb:ru 2>/dev/null
# Each runs a command of its own: the test's user has no login shell, and CI sets no $SHELL.
for app in term-de term-ru; do
    foot --app-id=$app sleep 600 >>"$WORK/foot.log" 2>&1 &
    PIDS+=($!)
    wait_until "$app's window" eval "swaymsg -t get_tree | grep -q '\"app_id\": \"$app\"'"
done
# The command line asks sway, not the X display, for layouts and windows.
[ "$("$VELMORA" sources | cut -f1)" = "$(printf 'xkb:%s\n' ${LAYOUTS//,/ })" ] ||
    fail "velmora sources did not list sway's layouts: $("$VELMORA" sources)"
"$VELMORA" apps | cut -f1 | grep -qx term-ru || fail "velmora apps missed sway's windows"
swaymsg -t subscribe -m '["input","window"]' >"$WORK/events" 2>&1 &
PIDS+=($!)

# The tray, with Qt on Wayland as on a user's sway: the agent's item registers with the panel's
# watcher; activating it, as a click on the panel does, opens the popover as a window.
start_session_bus
"$VELMORA_FAKE_SERVICES" tray >"$WORK/tray" 2>>"$WORK/client.log" &
PIDS+=($!)
wait_until "the panel's tray" grep -qx ready "$WORK/tray"
# Qt 6.4's Wayland plugin leaves its display's globals allocated at exit and, not built for
# ThreadSanitizer, shows it locks it cannot follow: the sanitizers' reports are off for this agent
# only (the offscreen agent below, with its own Wayland indicator, has them all).
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" TSAN_OPTIONS="${TSAN_OPTIONS:-}:report_bugs=0" \
    QT_QPA_PLATFORM=wayland "$VELMORA" --desktop sway --autostart >"$WORK/velmora-out.log" \
    2>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "the tray item" grep -q RegisterStatusNotifierItem "$WORK/tray"
# Started as at login, the agent shows nothing by itself (started by hand it shows the popover,
# and a click would close it).
agent_window_new() { grep -q "\"new\".*\"pid\": $VELMORA_PID," "$WORK/events"; }
agent_window_new && fail "the popover opened by itself"
gdbus call --session --dest "$(sed -n 's/^RegisterStatusNotifierItem\t//p' "$WORK/tray" | head -n 1)" \
    --object-path /StatusNotifierItem --method org.kde.StatusNotifierItem.Activate 0 0 >/dev/null
wait_until "the popover's window" agent_window_new
stop_velmora

switch_on enableTipOfState
: >"$WORK/velmora.log"
QT_QPA_PLATFORM=offscreen "$VELMORA" --desktop sway >"$WORK/velmora-out.log" 2>>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "velmora on sway" velmora_says "running on sway"
QT_QPA_PLATFORM=offscreen timeout "$DEADLINE" "$VELMORA" | grep -q "already running on sway" ||
    fail "a second agent did not leave the sway session to the first"

# layouts_since N: the layouts sway announced after the first N.
layouts_since() {
    grep -o '"xkb_active_layout_name": "[^"]*"' "$WORK/events" | tail -n +$(($1 + 1)) |
        cut -d'"' -f4 | tr '\n' ' ' | sed 's/ $//'
}
layouts_are() { [ "$(layouts_since "$1")" = "$2" ]; }
seen() { grep -c xkb_active_layout_name "$WORK/events" || true; }
focus() { swaymsg -q "[app_id=\"$1\"] focus"; }

# Activation selects the rule.
mark=$(seen)
focus term-de
focus term-ru
wait_until "German, then Russian" layouts_are "$mark" "German Russian"

# The indicator, on sway's output (its window on the Xvfb), placed by its bottom-left corner
# 25 in from the front window's right edge and 5 above its bottom: more than one colour there.
sway_window=$(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p' | head -n 1)
read -r x y width height < <(grep '"change": "focus"' "$WORK/events" | tail -n 1 | sed -E \
    's/"deco_rect".*//; s/.*"rect": \{ "x": ([0-9]+), "y": ([0-9]+), "width": ([0-9]+), "height": ([0-9]+).*/\1 \2 \3 \4/')
corner=20x20+$((x + width - 25))+$((y + height - 25))
indicator_seen() {
    import -window "$sway_window" "$WORK/screen.png" &&
        [ "$(convert "$WORK/screen.png" -crop "$corner" -format %k info:)" -gt 1 ]
}
wait_until "the indicator at the front window's corner" indicator_seen

# The hotkey, pressed on sway's window. sway's X11 backend takes the modifier bits of each key
# event for a layout index too; with four layouts, Control, Alt and Num Lock (4, 8, 16) all
# come to index 0: German only from the agent. The agent's selection also ends its check on
# the activation before (which would take a layout chosen within 100 ms for one put back).
mark=$(seen)
xdotool windowfocus --sync "$sway_window" key ctrl+alt+d
wait_until "the hotkey's German" eval 'layouts_since "$mark" | grep -q German'

# A layout chosen by hand (French) stays until the next activation selects German: no Russian
# of the window in front comes between (the key releases may still bring English).
swaymsg -q input type:keyboard xkb_switch_layout 3
focus term-de
after_hand() { layouts_since "$mark" | sed -n 's/.*French//p'; }
wait_until "French, then German" eval 'after_hand | grep -q "German$"'
after_hand | grep -q Russian && fail "the hand's French was undone: $(layouts_since "$mark")"

# sway going away ends the agent with a word, its settings saved.
kill "$SWAY_PID"
wait_for_velmora_exit
[ "$VELMORA_STATUS" -eq 1 ] || fail "velmora exited with $VELMORA_STATUS when sway went away"
velmora_says "sway is gone" || fail "velmora did not say that sway is gone"
grep -q term-ru "$SETTINGS" || fail "the settings lost the rules"
