#!/usr/bin/env bash
# A new keymap while the agent runs: its layouts are the input sources from then on, so a rule
# for a layout that was missing starts to work and one for a layout that went away does not.
source "$(dirname "$0")/lib.sh" "$@"

start_desktop
"$VELMORA" rule AppA xkb:fr
"$VELMORA" rule AppB xkb:ru
open_windows a AppA 1
open_windows b AppB 1
open_windows other Other 1
start_group_watch
start_velmora

activate a # French is not configured yet
activate b
expect_groups 2
activate other
"$CLIENT" lock 0
expect_groups 2 0

setxkbmap -layout us,fr
[ "$("$VELMORA" sources)" = "$(printf 'xkb:us\tEnglish (US)\nxkb:fr\tFrench')" ] ||
    fail "the new keymap's layouts are not listed: $("$VELMORA" sources)"
activate a
expect_groups 2 0 1
activate b # Russian is gone
"$CLIENT" lock 0
activate a
expect_groups 2 0 1 0 1

# A keymap of one group: one source, and rules for the others find nothing to select.
setxkbmap -layout de
[ "$("$VELMORA" sources)" = "$(printf 'xkb:de\tGerman')" ] ||
    fail "a one-group keymap lists: $("$VELMORA" sources)"
activate b
activate a
activate other
kill -0 "$VELMORA_PID" || fail "velmora ended with a one-group keymap"

stop_velmora
