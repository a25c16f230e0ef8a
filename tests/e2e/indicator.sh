#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The indicator on a real X server, without and then with a compositing manager. Off: there but
# unseen, clicks reach the window below. On: starts top left clear of the edges, only the layout's
# badge (a dark one-colour glyph at its own size) is drawn and the corners pass clicks; it follows
# the layout and, with "followWindow", the front window. It is on every desktop, above, never
# focused; dragging the badge moves it and the application keeps the focus.
source "$(dirname "$0")/lib.sh" "$@"

COLOUR=3a7d44 # both test windows; any other colour at the indicator's place is the indicator's
SIDE=20
BADGE=18 # a layout's badge, centred in the window
BACKDROP=(0 0 1279 800)
# Front's place; "followWindow" puts the indicator 25 in from its right and 5 above its bottom.
FRONT=(300 200 500 350)

# settings_with KEY...: the rules of the two applications and the boolean KEYs switched on.
settings_with() {
    write_settings "$(printf '<key>%s</key><true/>' "$@")<key>velmora</key><dict>" \
        '<key>Backdrop</key><dict><key>id</key><string>xkb:de</string></dict>' \
        '<key>Front</key><dict><key>id</key><string>xkb:ru</string></dict></dict>'
}

paint_window() { # NAME X Y W H: a window of COLOUR that logs the presses it gets
    run_client "paint-$1" 1 windows "$1" 1 --paint "$COLOUR" "$2" "$3" "$4" "$5"
}

painted() { sed -n '1s/ .*//p' "$WORK/paint-$1"; }

# The agent's one managed window that is not ordinary (its settings window, without a tray, is).
indicator_found() {
    agent_windows '$6 != "NORMAL" && $7 == "-"' && [ "$(wc -l <"$WORK/agent-windows")" -eq 1 ] &&
        read -r INDICATOR_ID IX IY IW IH _ <"$WORK/agent-windows"
}

indicator_at() { indicator_found && [ "$IX $IY" = "$1 $2" ]; }

# A velmora with the settings KEY..., Front active and the first layout locked; the indicator shown.
run_velmora() {
    "$CLIENT" lock 0
    activate_painted Front
    settings_with "$@"
    start_velmora
    wait_until "the indicator window" indicator_found
    [ "$IW $IH" = "$SIDE $SIDE" ] || fail "the indicator is ${IW}x$IH, not ${SIDE}x$SIDE"
    expect_indicator_traits
}

# On every desktop, above, no input focus (WM_HINTS), not activated when mapped (user time 0, on
# the _NET_WM_USER_TIME_WINDOW when there is one).
expect_indicator_traits() {
    local user_time_window
    user_time_window=$(xprop -id "$INDICATOR_ID" _NET_WM_USER_TIME_WINDOW |
        sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p')
    xprop -id "${user_time_window:-$INDICATOR_ID}" _NET_WM_USER_TIME | grep -q ' = 0$' ||
        fail "the indicator asks to be activated when shown"
    local trait # PROPERTY:WHAT ITS VALUE SAYS
    for trait in "_NET_WM_DESKTOP:= 4294967295$" _NET_WM_STATE:_NET_WM_STATE_ABOVE \
        "WM_HINTS:accepts input or input focus: False"; do
        xprop -id "$INDICATOR_ID" "${trait%%:*}" | grep -q "${trait#*:}" ||
            fail "the indicator's ${trait%%:*}: $(xprop -id "$INDICATOR_ID" "${trait%%:*}")"
    done
}

active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p'; }

# active_is ID: the window manager's active window is ID (decimal, as the client prints it).
active_is() { [ "$(active_window)" = "$(printf '0x%x' "$1")" ]; }

expect_active() {
    wait_until "$1 to be the active window" active_is "$(painted "$1")"
}

desktop_is() { [ "$(xdotool get_desktop)" = "$1" ]; }

activate_painted() { activate_id "$(painted "$1")" "$1"; }

screen_colours() { "$CLIENT" colours "$@" >"$WORK/colours"; }

# click_reaches_below X Y: a click there is received by the application window below.
click_reaches_below() {
    xdotool mousemove "$1" "$2" click 1
    wait_until "the click at $1,$2 to reach the window below" \
        grep -qx "press $1 $2" "$WORK/paint-Front" "$WORK/paint-Backdrop"
}

# Nothing of the indicator is drawn: its place shows the windows' colour alone.
place_clear() {
    screen_colours "$IX" "$IY" "$IW" "$IH"
    [ "$(cut -d' ' -f1 "$WORK/colours")" = "$COLOUR" ]
}

# The badge is drawn: at least 100 pixels of other colours, mostly light, some dark (the glyph).
badge_shown() {
    screen_colours "$IX" "$IY" "$IW" "$IH"
    awk -v bg="$COLOUR" '
        $1 != bg {
            other += $2
            if ($3 > 176 && $4 > 176 && $5 > 176) light += $2
            if ($3 < 80 && $4 < 80 && $5 < 80) dark += $2
        }
        END { exit !(other >= 100 && light >= 200 && dark >= 10) }' "$WORK/colours"
}

# The indicator while it is off: there, but neither seen nor in the way.
check_switched_off() {
    local keys
    # With "followWindow" as well, which moves the indicator only while it is on.
    for keys in "" followWindow; do
        run_velmora $keys
        # The switches prove that the agent ran well past drawing its window the first time.
        activate_painted Backdrop
        wait_until "the rule of Backdrop" group_is 1
        activate_painted Front
        wait_until "the rule of Front" group_is 2
        indicator_found
        place_clear || fail "the indicator's place at $IX,$IY shows $(tr '\n' ' ' <"$WORK/colours")"
        click_reaches_below $((IX + SIDE / 2)) $((IY + SIDE / 2))
        stop_velmora
    done
}

# The badge alone: the window's bottom-left corner shows what is below and passes clicks to it.
expect_badge_alone() {
    wait_until "the badge at $IX,$IY" badge_shown
    screen_colours "$IX" $((IY + IH - 1)) 1 1
    [ "$(cut -d' ' -f1 "$WORK/colours")" = "$COLOUR" ] ||
        fail "the indicator's corner at $IX,$((IY + IH - 1)) shows $(cat "$WORK/colours")"
    click_reaches_below "$IX" $((IY + IH - 1))
    expect_badge_own_size
}

# The glyph lies inside the badge's centred square: drawn at its own size, not stretched.
expect_badge_own_size() {
    local inset=$(((SIDE - BADGE) / 2)) extent left top right bottom
    extent=$("$CLIENT" dark-extent "$IX" "$IY" "$IW" "$IH" 80) || fail "the badge has no glyph"
    read -r left top right bottom <<<"$extent"
    ((left >= inset && top >= inset && right < inset + BADGE && bottom < inset + BADGE)) ||
        fail "the glyph spans $left,$top to $right,$bottom of the window, beyond the badge"
}

# On another desktop the indicator is where it was, drawn, unfocused; back on the first the
# application has the focus again.
check_other_desktop() {
    local active
    active=$(active_window)
    xdotool set_desktop 1
    wait_until "the second desktop" desktop_is 1
    wait_until "the indicator on the second desktop" indicator_at "$IX" "$IY"
    wait_until "the badge on the second desktop" badge_shown
    expect_indicator_traits
    [ "$(active_window)" != "$(printf '0x%x' "$INDICATOR_ID")" ] ||
        fail "the indicator took the focus on the second desktop"
    xdotool set_desktop 0
    wait_until "the first desktop" desktop_is 0
    wait_until "the focus back at $active" test "$(active_window)" = "$active"
}

# On: the badge alone, following the layout, dragged by the mouse, at the front window's corner.
check_switched_on() {
    run_velmora enableTipOfState
    # At start it is in the top left corner of the screen, 8 clear of its edges.
    [ "$IX $IY" = "8 8" ] || fail "the indicator starts at $IX,$IY, not in the top left corner"
    expect_badge_alone
    local us
    us=$(cat "$WORK/colours")
    "$CLIENT" lock 1
    wait_until "the badge of the next layout" badge_differs_from "$us"
    local de
    de=$(cat "$WORK/colours")
    "$CLIENT" lock 2
    wait_until "the badge of the third layout" badge_differs_from "$us" "$de"
    expect_badge_own_size
    check_other_desktop

    local from_x=$((IX + SIDE / 2)) from_y=$((IY + SIDE / 2)) old_x=$IX old_y=$IY active
    active=$(xdotool getactivewindow)
    xdotool mousemove "$from_x" "$from_y" mousedown 1
    xdotool mousemove $((from_x + 100)) $((from_y + 75))
    xdotool mousemove $((from_x + 200)) $((from_y + 150)) mouseup 1
    wait_until "the dragged indicator" indicator_at $((old_x + 200)) $((old_y + 150))
    wait_until "the badge at its new place" badge_shown
    [ "$(xdotool getactivewindow)" = "$active" ] ||
        fail "dragging the indicator took the focus from the application"
    IX=$old_x IY=$old_y
    wait_until "the old place to be clear" place_clear
    stop_velmora

    # Each activation takes it to the activated window's corner; the window keeps the focus.
    run_velmora enableTipOfState followWindow
    activate_painted Backdrop
    wait_until "the rule of Backdrop" group_is 1
    local x=$((BACKDROP[0] + BACKDROP[2] - 25)) y=$((BACKDROP[1] + BACKDROP[3] - 5 - SIDE))
    wait_until "the indicator at Backdrop's corner $x,$y" indicator_at $x $y
    expect_active Backdrop
    activate_painted Front
    x=$((FRONT[0] + FRONT[2] - 25)) y=$((FRONT[1] + FRONT[3] - 5 - SIDE))
    wait_until "the indicator at Front's corner $x,$y" indicator_at $x $y
    expect_badge_alone
    expect_active Front
    stop_velmora
}

# badge_differs_from COLOURS...: a badge is shown whose colours are none of COLOURS.
badge_differs_from() {
    badge_shown || return 1
    local seen other
    seen=$(cat "$WORK/colours")
    for other in "$@"; do
        [ "$seen" != "$other" ] || return 1
    done
}

compositing_manager_running() { "$CLIENT" compositing; }

start_desktop
# One column short of the screen, which openbox would raise as full-screen; the root shows the
# same colour there.
"$CLIENT" root-colour "$COLOUR"
paint_window Backdrop "${BACKDROP[@]}"
paint_window Front "${FRONT[@]}"

check_switched_off
check_switched_on

# The same with a compositing manager, which draws windows with an alpha channel translucent.
if command -v xcompmgr >/dev/null; then
    xcompmgr >"$WORK/xcompmgr.log" 2>&1 &
    PIDS+=($!)
    wait_until "the compositing manager" compositing_manager_running
    check_switched_off
    check_switched_on
else
    echo "xcompmgr is not installed: the run with a compositing manager is skipped"
fi
