#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Shortcuts recorded in the popover: Ctrl+Alt+K on the German row's recorder stores K's position
# with Control and Alt and selects German with another application in front. Three recordings in a
# row (J, K, L) keep the popover open and store all three; a click and BackSpace clears one. The
# recorder holds the keyboard while recording: the combination reaches it, not the hotkeys.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/popover_lib.sh"

# The German layout's row in the shortcut table (us, de, ru) and the stored shortcut of a row:
# a key position (J 38, K 40, L 37) with Control and Alt (0x40000 | 0x80000).
GERMAN_ROW=1
stored_shortcut() {
    echo "<key>$1</key><dict><key>keyCode</key><integer>$2</integer>"`
        `"<key>modifierFlags</key><integer>786432</integer></dict>"
}

"$VELMORA" rule RussianApp xkb:ru

popover_expanded() { popover_found && [ "$PH" -gt 340 ]; }

# Opens the popover and expands it: the expand button is the third from the right of the
# button bar (26 wide at x 228, 266 from the top).
open_shortcuts() {
    wait_until "the popover" click_icon_until_open
    click_content 241 279
    wait_until "the popover to show the shortcuts" popover_expanded
}

# Clicks the recorder of ROW: the shortcut section starts 45 below the collapsed content (330),
# its header is 22 to 37 high and its rows 25: y 42 + 25 * ROW is inside the row whatever the
# header; the recorder sits at the left of the third column (40 + 128 from the left).
click_recorder() { click_content $((40 + 128 + 40)) $((330 + 45 + 42 + 25 * $1)); }

shortcut_stored() { flat_settings 2>/dev/null | grep -qF "$(stored_shortcut "$@")"; }
no_german_shortcut() { [ -f "$SETTINGS" ] && ! flat_settings | grep -qF '<key>xkb:de</key><dict><key>keyCode'; }

start_desktop
J=$(keycode_of AC07)
K=$(keycode_of AC08)
L=$(keycode_of AC09)
BACKSPACE=$(keycode_of BKSP)
[ -n "$J" ] && [ -n "$K" ] && [ -n "$L" ] && [ -n "$BACKSPACE" ] || fail "no key codes for AC07-09 and BKSP"
open_apps other:Other russian:RussianApp
start_tray
"$CLIENT" lock 0
start_velmora
wait_until "the agent's icon in the tray" tray_icon_found
# The agent may have opened the popover at start: closed, to open it the user's way.
if popover_found; then close_popover; fi

# Record one shortcut per row without reopening: each recorder is clicked in the popover as it
# stays after the one before.
open_shortcuts
for recording in "0 $J xkb:us 38" "1 $K xkb:de 40" "2 $L xkb:ru 37"; do
    read -r row key id position <<<"$recording"
    click_recorder "$row"
    xdotool key "ctrl+alt+$key"
    wait_until "Ctrl+Alt+$position stored for $id" shortcut_stored "$id" "$position"
done
popover_expanded || fail "the popover did not stay open and expanded while recording"
for stored in "xkb:us 38" "xkb:de 40"; do
    shortcut_stored $stored || fail "a recorded shortcut was lost: $stored"
done
close_popover

# xdotool switches the group to find the modifiers' symbols and back after each key, which
# adds changes of its own: the layout is read once things settle.
activate other
xdotool key --clearmodifiers "ctrl+alt+$K"
wait_until "German selected by Ctrl+Alt+K" group_is 1

# Clear.
"$CLIENT" lock 0
wait_until "the first layout locked" group_is 0
open_shortcuts
click_recorder "$GERMAN_ROW"
xdotool key "$BACKSPACE"
wait_until "the German shortcut removed" no_german_shortcut
close_popover

# With the first group locked xdotool finds every key where it is: no change is its own.
start_group_watch
activate other
xdotool key --clearmodifiers "ctrl+alt+$K"
# The Russian application's switch comes after anything the keys did.
activate russian
wait_until "Russian selected for its application" group_is 2
[[ " $(groups_seen) " != *" 1 "* ]] || fail "the cleared shortcut still selected German: $(groups_seen)"

stop_velmora
