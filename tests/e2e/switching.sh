#!/usr/bin/env bash
# Each application's rule is applied when it comes to the front: A, B, A; an application
# without a rule and a rule naming a layout that is not configured change nothing; a minimized
# application that is brought back gets its layout again.
source "$(dirname "$0")/lib.sh" "$@"

start_desktop
"$VELMORA" rule AppA xkb:de
"$VELMORA" rule AppB xkb:ru
"$VELMORA" rule AppFr xkb:fr
open_windows a AppA 1
open_windows b AppB 1
open_windows c AppC 1
open_windows fr AppFr 1
open_windows other Other 1 # active when velmora starts
start_group_watch
start_velmora

activate a
expect_groups 1
activate b
expect_groups 1 2
activate a
expect_groups 1 2 1

# Neither of these may switch: the next expected change would come after a wrong one.
activate c
activate fr
activate b
expect_groups 1 2 1 2

xdotool windowminimize --sync "$(window a)"
activate a
expect_groups 1 2 1 2 1

stop_velmora
