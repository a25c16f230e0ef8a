#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The launcher detection on a real X server, through the global event monitor. While an Alfred
# edition runs (desktop-file id com.runningwithcrayons.Alfred*), a held modifier makes the agent
# read _NET_CLIENT_LIST_STACKING every 0.1 s until just after the release (seen through RECORD;
# nothing else of the agent reads it here); with none running, a modifier starts nothing.
# rofi, whose panel never comes to the front: its rule (us) holds while its panel is open over a
# German application, German is back after Escape or a kill. A launcher that takes the focus as
# an ordinary window (KRunner: all of Plasma) has its rule as any application: a fake stands in.
source "$(dirname "$0")/lib.sh" "$@"

# Alfred as this desktop knows it: its desktop file, matched to its windows by their class.
cat >"$XDG_DATA_HOME/applications/com.runningwithcrayons.Alfred.desktop" <<'EOF'
[Desktop Entry]
Type=Application
Name=Alfred
Exec=true
StartupWMClass=AlfredE2E
EOF

"$VELMORA" rule Rofi xkb:us 2>/dev/null
"$VELMORA" rule krunner xkb:ru 2>/dev/null
"$VELMORA" rule German xkb:de 2>/dev/null
start_desktop
open_apps Front:Front german:German krunner:krunner
activate Front
start_group_watch
first_watch=${PIDS[-1]}
start_velmora

run_client reads 1 property-reads _NET_CLIENT_LIST_STACKING

reads() { echo $(($(wc -l <"$WORK/reads") - 1)); }

# hold_super SECONDS: the left Super key (Command) held that long, then let go.
hold_super() {
    xdotool keydown Super_L
    sleep "$1"
    xdotool keyup Super_L
}
# No Alfred: a modifier key held long enough for several looks, were any due, starts none. The
# raw key events and the focus change reach the agent on one connection, in order: once German's
# switch is seen, the agent has handled the whole hold.
hold_super 0.5
activate german
expect_groups 1
[ "$(reads)" -eq 0 ] || fail "the window list was read $(reads) times with no Alfred running"

open_windows Alfred AlfredE2E 1
# The agent knows Alfred runs once it has heard of its window; until then a press finds none.
held_key_looks() {
    hold_super 0.4
    [ "$(reads)" -ge 2 ]
}
wait_until "a held modifier key to make the agent look for Alfred's panel" held_key_looks

# Letting go of the key stops the looking.
no_more_reads() {
    local before
    before=$(reads)
    sleep 0.5
    [ "$(reads)" -eq "$before" ]
}
wait_until "the looks to stop once the key is let go" no_more_reads
stop_velmora

# A launcher that takes the focus as an ordinary window has its rule. (The looks for Alfred's
# panel may switch on their own: a new watch.)
stop_pid "$first_watch"
"$CLIENT" lock 0
activate german
start_group_watch
start_velmora
activate krunner
expect_groups 2
activate german
expect_groups 2 1

ROFI_PID=
start_rofi() {
    rofi -dmenu -p velmora </dev/null >/dev/null 2>>"$WORK/rofi.log" &
    ROFI_PID=$!
    PIDS+=("$ROFI_PID")
}
rofi_listed() { "$VELMORA" apps 2>/dev/null | grep -q "^Rofi	"; }
# rofi may miss a key that comes while it settles: Escape until it is gone.
ESCAPE=$(keycode_of ESC)
rofi_gone() { ! kill -0 "$ROFI_PID" 2>/dev/null; }
escape_closes_rofi() {
    "$CLIENT" press "$ESCAPE"
    local end=$((SECONDS + 1))
    until rofi_gone || [ "$SECONDS" -ge "$end" ]; do sleep 0.05; done
    rofi_gone
}

start_rofi
expect_groups 2 1 0
wait_until "rofi listed while its panel is open" rofi_listed
wait_until "rofi to close on Escape" escape_closes_rofi
expect_groups 2 1 0 1
start_rofi
expect_groups 2 1 0 1 0
kill -KILL "$ROFI_PID"
expect_groups 2 1 0 1 0 1

stop_velmora
