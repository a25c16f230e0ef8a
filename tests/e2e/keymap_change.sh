#!/usr/bin/env bash
# A new keymap while the agent runs: its layouts are the input sources from then on, so a rule
# for a layout that was missing starts to work and one for a layout that went away does not.
# A rule naming a layout that the keymap lacks is noted when it is written, and once per keymap
# when the agent skips it. Every line the program writes starts with "velmora: ".
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
open_windows a AppA 1
open_windows b AppB 1
open_windows other Other 1
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
