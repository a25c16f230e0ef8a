#!/usr/bin/env bash
# Each application's rule is applied when it comes to the front: A, B, A; an application
# without a rule and a rule naming a layout that is not configured change nothing; a minimized
# application that is brought back gets its layout again; a window manager that is replaced,
# ends or starts while the agent runs changes none of this.
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

# The window manager is replaced by a new one, then it ends and the agent follows the input
# focus until one starts again: switching goes on through each change.
wm_check() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null; }
old_wm=$(wm_check)
XDG_DATA_DIRS=/usr/local/share:/usr/share openbox --replace --sm-disable >>"$WORK/openbox.log" 2>&1 &
replacement=$!
PIDS+=("$replacement")
wait_until "the new openbox to announce itself" eval '[ "$(wm_check)" != "$old_wm" ] && window_manager_running'
wait_until "the new openbox to manage windows" window_manager_manages
activate b
expect_groups 1 2 1 2 1 2
kill "$replacement"
wait "$replacement" 2>/dev/null || true
wait_until "velmora to follow the focus" velmora_says "no EWMH window manager"
timeout "$DEADLINE" xdotool windowfocus --sync "$(window a)"
expect_groups 1 2 1 2 1 2 1
start_window_manager
activate b
expect_groups 1 2 1 2 1 2 1 2
activate a
expect_groups 1 2 1 2 1 2 1 2 1

stop_velmora
