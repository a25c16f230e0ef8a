#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Each application's rule applies when it comes to the front (A, B, A; none for no rule or an
# unconfigured layout; again for a minimized one brought back). Without an EWMH window manager the
# agent says so (unless its X11 lines are turned off) and follows the focus; one starting,
# replaced or ending changes none of this. A layout chosen by hand stays while the same
# application stays in front. A key typed 20 ms after
# the focus arrives in its application's layout.
source "$(dirname "$0")/lib.sh" "$@"

start_display
# The X11 services' lines form the logging category velmora.x11, which Qt's rules turn off.
QT_LOGGING_RULES="velmora.x11.info=false" start_velmora
! velmora_says "no EWMH window manager" || fail "velmora.x11.info=false left the X11 lines on"
stop_velmora
"$VELMORA" rule AppA xkb:de
"$VELMORA" rule AppB xkb:ru
"$VELMORA" rule AppFr xkb:fr
open_windows a AppA 2 --no-wait
open_windows b AppB 1 --no-wait
open_windows c AppC 1 --no-wait
open_windows fr AppFr 1 --no-wait
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

start_window_manager
activate b
expect_groups 1 2 1 2
activate a
expect_groups 1 2 1 2 1
# Neither of these may switch: the next expected change would come after a wrong one.
activate c
activate fr
activate b
expect_groups 1 2 1 2 1 2

xdotool windowminimize --sync "$(window a)"
activate a
expect_groups 1 2 1 2 1 2 1

# The window manager is replaced by a new one, then it ends and the agent follows the input
# focus again until one starts again.
wm_check() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null; }
old_wm=$(wm_check)
XDG_DATA_DIRS=/usr/local/share:/usr/share openbox --replace --sm-disable >>"$WORK/openbox.log" 2>&1 &
replacement=$!
PIDS+=("$replacement")
wait_until "the new openbox to announce itself" eval '[ "$(wm_check)" != "$old_wm" ] && window_manager_running'
wait_until "the new openbox to manage windows" window_manager_manages
activate b
expect_groups 1 2 1 2 1 2 1 2
stop_pid "$replacement"
said_twice() { [ "$(grep -c "no EWMH window manager" "$WORK/velmora.log")" -ge 2 ]; }
wait_until "velmora to follow the focus again" said_twice
focus a
expect_groups 1 2 1 2 1 2 1 2 1
start_window_manager
activate b
expect_groups 1 2 1 2 1 2 1 2 1 2

activate a 1
expect_groups 1 2 1 2 1 2 1 2 1 2 1
# The user's own choice, once the agent's check 100 ms after its selection is over (it would
# take any other layout within that time for one a toolkit put back).
sleep 1
"$CLIENT" lock 0
expect_groups 1 2 1 2 1 2 1 2 1 2 1 0
activate a 2
# Nothing active for a moment (showing the desktop, asked as a pager does: a key binding of the
# window manager can be lost to a busy machine), then the same application again.
"$CLIENT" show-desktop
wait_until "no active window" sh -c "xprop -root _NET_ACTIVE_WINDOW | grep -q '0x0'"
activate a 1
# B's switch comes after any wrong switch back to A's layout would have.
activate b
expect_groups 1 2 1 2 1 2 1 2 1 2 1 0 2
activate a 2
expect_groups 1 2 1 2 1 2 1 2 1 2 1 0 2 1

# The user brings A to the front and types at once.
activate b
expect_groups 1 2 1 2 1 2 1 2 1 2 1 0 2 1 2
"$CLIENT" type-after "$(window a 1)" 20 "$(keycode_of AC01)"
key_typed() { grep -q "^key $(window a 1) " "$WORK/windows-a"; }
wait_until "the key typed into A" key_typed
grep -q "^key $(window a 1) 1$" "$WORK/windows-a" ||
    fail "the key typed 20 ms after A came to the front was not in A's layout (group 1):" \
        "$(grep '^key' "$WORK/windows-a")"
expect_groups 1 2 1 2 1 2 1 2 1 2 1 0 2 1 2 1

stop_velmora
