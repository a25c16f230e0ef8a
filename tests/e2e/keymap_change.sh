#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A new keymap while the agent runs: its layouts are the sources from then on (a missing layout's
# rule starts to work, a gone one's stops); a rule for a missing layout is noted when written and
# once per keymap when skipped; every line starts with "velmora: "; the rule table names missing
# layouts, and a new keymap brings the front application's layout back.
source "$(dirname "$0")/lib.sh" "$@"

# every_line_is_ours FILE: each line of FILE starts with "velmora: ".
every_line_is_ours() {
    local stray
    stray=$(grep -v '^velmora: ' "$1" || true)
    [ -z "$stray" ] || fail "lines of $(basename "$1") that are not velmora's: $stray"
}

notes_for() { grep -c "keyboard layout $1, which the keymap does not have" "$WORK/velmora.log" || true; }
notes_reached() { [ "$(notes_for "$1")" -ge "$2" ]; }
expect_notes() {
    [ "$(notes_for xkb:fr)" -eq "$1" ] || fail "the skipped rule was noted $(notes_for xkb:fr) times, not $1"
}

start_desktop
open_apps a:AppA b:AppB other:Other
"$VELMORA" rule AppA xkb:fr 2>"$WORK/rule.log"
grep -q "xkb:fr is not among the keyboard layouts" "$WORK/rule.log" || fail "no note for xkb:fr"
every_line_is_ours "$WORK/rule.log"
"$VELMORA" rule AppB xkb:de 2>"$WORK/rule.log"
[ ! -s "$WORK/rule.log" ] || fail "a note for a configured layout: $(cat "$WORK/rule.log")"
# The indicator on: what its window says counts too.
switch_on enableTipOfState
start_group_watch
start_velmora
"$VELMORA" apps >/dev/null 2>"$WORK/apps.log"
every_line_is_ours "$WORK/apps.log"

activate a # French is not configured
activate b
expect_groups 1
activate other
"$CLIENT" lock 0
activate a
activate b # comes after both skips of A's rule
expect_groups 1 0 1
expect_notes 1

# A new keymap still without French: noted once more, and again only once.
setxkbmap -layout us,de
activate a
wait_until "a note for the new keymap" notes_reached xkb:fr 2
activate other
activate a
activate other
"$CLIENT" lock 0
activate b
expect_groups 1 0 1 0 1
expect_notes 2

# French, and German gone.
activate other
"$CLIENT" lock 0
expect_groups 1 0 1 0 1 0
setxkbmap -layout us,fr
[ "$("$VELMORA" sources)" = "$(printf 'xkb:us\tEnglish (US)\nxkb:fr\tFrench')" ] ||
    fail "the new keymap's layouts are not listed: $("$VELMORA" sources)"
activate a
expect_groups 1 0 1 0 1 0 1
activate b # German is gone
"$CLIENT" lock 0
activate a
expect_groups 1 0 1 0 1 0 1 0 1

# A keymap of one group: one source, and rules for the others find nothing to select.
setxkbmap -layout de
[ "$("$VELMORA" sources)" = "$(printf 'xkb:de\tGerman')" ] ||
    fail "a one-group keymap lists: $("$VELMORA" sources)"
activate b
activate a
activate other
kill -0 "$VELMORA_PID" || fail "velmora ended with a one-group keymap"

stop_velmora
every_line_is_ours "$WORK/velmora.log"
every_line_is_ours "$WORK/velmora-out.log"

# Rules whose layouts are out of the keymap from the start (German and French with us,ru), rows
# in a known order: without a tray the settings show at start, in a window of their own. Each
# such rule shows its layout's name, marked as missing (text across the layout box, below the
# table's header of 25), and the row without a rule a dash; the file keeps the rules.
source "$(dirname "$0")/popover_lib.sh"
setxkbmap -layout us,ru
sed -i '0,/<dict>/s|<dict>|<dict><key>orderOfAppsRule</key><array><string>AppB</string><string>AppA</string><string>Other</string></array>|' "$SETTINGS"
# text_width ROW: how wide the text in the layout box of ROW is (0 without dark pixels); the
# box starts at 146 in the content, inside a border of 1.
text_width() {
    "$CLIENT" dark-extent $((SX + 1 + 146 + 2)) $((SY + 1 + 25 + 25 * $1 + 4)) 78 17 96 \
        >"$WORK/extent" 2>/dev/null || { echo 0; return; }
    awk '{ print $3 - $1 + 1 }' "$WORK/extent"
}
names_layout() { [ "$(text_width "$1")" -ge 40 ]; }
start_velmora
wait_until "the settings in a window" settings_window
wait_until "German (missing) in B's row" names_layout 0
wait_until "French (missing) in A's row" names_layout 1
[ "$(text_width 2)" -lt 12 ] || fail "the row without a rule shows more than a dash"
"$VELMORA" rules | grep -qx "AppB	xkb:de" || fail "the rule for AppB changed: $("$VELMORA" rules)"

# A new keymap brings the front application's layout back: B's German, first added as the third
# group, then the second with the third gone (the locked group out of range).
activate b
wait_until "B's rule skipped without German" notes_reached xkb:de 1
setxkbmap -layout us,ru,de
wait_until "German, the third group, for B" group_is 2
setxkbmap -layout us,de
wait_until "German, the second group, for B" group_is 1
stop_velmora
"$VELMORA" rules | grep -qx "AppB	xkb:de" || fail "the rule for AppB changed: $("$VELMORA" rules)"
