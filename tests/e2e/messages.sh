#!/usr/bin/env bash
# What the program says: its version; a rule naming a layout that the keymap lacks is noted
# once per keymap when the agent skips it; the agent is not among the applications it lists;
# every line it writes starts with "velmora:".
source "$(dirname "$0")/lib.sh" "$@"

# every_line_is_ours FILE: each line of FILE starts with "velmora: ".
every_line_is_ours() {
    local stray
    stray=$(grep -v '^velmora: ' "$1" || true)
    [ -z "$stray" ] || fail "lines of $(basename "$1") that are not velmora's: $stray"
}

notes_for() { grep -c "keyboard layout $1, which the keymap does not have" "$WORK/velmora.log" || true; }
notes_reached() { [ "$(notes_for "$1")" -ge "$2" ]; }

version=$("$VELMORA" --version)
grep -qxE 'velmora [0-9]+\.[0-9]+\.[0-9]+' <<<"$version" || fail "--version says: $version"
"$VELMORA" --help | head -n 1 | grep -qF "$version " || fail "--help does not show $version"
"$VELMORA" frobnicate 2>"$WORK/wrong.log" && fail "an unknown command succeeded"
every_line_is_ours "$WORK/wrong.log"

start_desktop
"$VELMORA" rule AppFr xkb:fr 2>"$WORK/rule.log"
grep -q "xkb:fr is not among the keyboard layouts" "$WORK/rule.log" || fail "no note for xkb:fr"
every_line_is_ours "$WORK/rule.log"
"$VELMORA" rule AppDe xkb:de
# The indicator on: the agent has a window of its own on the desktop.
sed -i '0,/<dict>/s|<dict>|<dict><key>enableTipOfState</key><true/>|' "$SETTINGS"
open_windows fr AppFr 1
open_windows de AppDe 1
open_windows other Other 1
start_group_watch
start_velmora

"$VELMORA" apps >"$WORK/apps" 2>"$WORK/apps.log"
grep -q "^AppDe" "$WORK/apps" || fail "apps does not list AppDe: $(cat "$WORK/apps")"
grep -qi "velmora" "$WORK/apps" && fail "apps lists the agent itself: $(cat "$WORK/apps")"
every_line_is_ours "$WORK/apps.log"

activate fr
activate de
expect_groups 1
activate fr
activate other
"$CLIENT" lock 0
activate de # comes after both skips of AppFr's rule
expect_groups 1 0 1
[ "$(notes_for xkb:fr)" -eq 1 ] || fail "the skipped rule was noted $(notes_for xkb:fr) times"

# A new keymap still without French: noted once more, and again only once.
setxkbmap -layout us,de
activate fr
wait_until "a note for the new keymap" notes_reached xkb:fr 2
activate other
activate fr
activate other
"$CLIENT" lock 0
activate de
expect_groups 1 0 1 0 1
[ "$(notes_for xkb:fr)" -eq 2 ] || fail "after a keymap change the rule was noted $(notes_for xkb:fr) times"

stop_velmora
every_line_is_ours "$WORK/velmora.log"
every_line_is_ours "$WORK/velmora-out.log"
