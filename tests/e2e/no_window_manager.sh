#!/usr/bin/env bash
# Without an EWMH window manager the agent says so once and follows the input focus.
source "$(dirname "$0")/lib.sh" "$@"

start_display
"$VELMORA" rule AppA xkb:de
"$VELMORA" rule AppB xkb:ru
open_windows a AppA 1 --no-wait
open_windows b AppB 1 --no-wait
start_group_watch
start_velmora
velmora_says "no EWMH window manager" || fail "velmora did not say that it follows the focus"

focus() { timeout "$DEADLINE" xdotool windowfocus --sync "$(window "$1")"; }
focus a
expect_groups 1
focus b
expect_groups 1 2
focus a
expect_groups 1 2 1
stop_velmora
