#!/usr/bin/env bash
# A layout the user chose by hand stays while the same application stays in front: another
# window of it, or the application again after no window was active, changes nothing. The
# next application's rule still applies.
source "$(dirname "$0")/lib.sh" "$@"

start_desktop
"$VELMORA" rule AppA xkb:de
"$VELMORA" rule AppB xkb:ru
open_windows a AppA 2
open_windows b AppB 1
open_windows other Other 1
start_group_watch
start_velmora

activate a 1
expect_groups 1
"$CLIENT" lock 0 # the user's own choice
expect_groups 1 0
activate a 2
# Nothing active for a moment (showing the desktop, asked as a pager does: a key binding of the
# window manager can be lost to a busy machine), then the same application again.
"$CLIENT" show-desktop
wait_until "no active window" sh -c "xprop -root _NET_ACTIVE_WINDOW | grep -q '0x0'"
activate a 1
# B's switch comes after any wrong switch back to A's layout would have.
activate b
expect_groups 1 0 2
activate a 2
expect_groups 1 0 2 1

stop_velmora
