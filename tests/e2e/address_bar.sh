#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# With "enableBrowserAddressEnglish" on, a click 45 to 75 pixels below the top of what Chrome or
# Chromium draws, with the text cursor showing, selects us. Fakes: a Chrome under openbox's title
# bar, a Chromium drawing its own inside transparent margins (localized desktop file, own rule).
# Arrow, nameless core I-beam or a click below the band switch nothing (the setting off:
# address-bar.scenario); a theme's unnamed I-beam picture (as Chrome's) counts. Absurd margins
# or a window gone at the click end nothing.
source "$(dirname "$0")/lib.sh" "$@"

# The desktop file names Chromium as a Spanish desktop would: its windows carry that name.
cat >"$XDG_DATA_HOME/applications/chromium.desktop" <<'EOF'
[Desktop Entry]
Type=Application
Name=Navegador web Chromium
Exec=chromium %U
StartupWMClass=chromium
EOF

start_desktop
"$VELMORA" rule chromium xkb:ru
switch_on enableBrowserAddressEnglish

# browser NAME CLASS CURSOR [L R T B]: one fake browser window; $(browser_top NAME) is the y
# where its drawing begins, $(browser_x NAME) a little inside its left edge.
browser() {
    local name=$1
    shift
    run_client "browser-$name" 1 browser "$@"
    echo "${PIDS[-1]}" >"$WORK/browser-$name.pid"
    echo "${5:-0}" >"$WORK/browser-$name.margin"
}
browser_id() { cut -d' ' -f1 "$WORK/browser-$1"; }
browser_x() { echo $(($(cut -d' ' -f2 "$WORK/browser-$1") + 200)); }
browser_top() { echo $(($(cut -d' ' -f3 "$WORK/browser-$1") + $(cat "$WORK/browser-$1.margin"))); }
activate_browser() { activate_id "$(browser_id "$1")" "$1"; }
# click NAME OFFSET: a left click OFFSET pixels below the top of browser NAME's drawing.
click() {
    xdotool mousemove --sync "$(browser_x "$1")" $(($(browser_top "$1") + $2)) click 1
}

browser chrome Google-chrome xterm
browser chromium Chromium xterm 10 10 20 10
browser beta Google-chrome-beta left_ptr
browser plain chromium-browser unnamed
# Chrome's cursors have no name: its I-beam is its theme's picture.
export XCURSOR_PATH="$WORK/icons"
browser themed Google-chrome-unstable "theme:$WORK/icons/test-theme"
"$CLIENT" lock 1
start_group_watch
start_velmora

# 60 below the top of the client: under openbox's title bar, 60 plus its height below the
# frame's top, outside the band.
activate_browser chrome
click chrome 60
expect_groups 0
click chrome 100 # the page, below the toolbar

# Chromium's rule, then its address bar: 60 below its visible top, 80 below its window's top.
activate_browser chromium
expect_groups 0 2
click chromium 60
expect_groups 0 2 0
"$CLIENT" lock 1
expect_groups 0 2 0 1
activate_browser themed
click themed 60
expect_groups 0 2 0 1 0
"$CLIENT" lock 1
expect_groups 0 2 0 1 0 1

activate_browser beta
click beta 60
activate_browser plain
click plain 60

# Margins and frame extents as large as a property can say.
huge=4294967295,4294967295,4294967295,4294967295
xprop -id "$(browser_id chromium)" -f _GTK_FRAME_EXTENTS 32c -set _GTK_FRAME_EXTENTS "$huge"
xprop -id "$(browser_id chromium)" -f _NET_FRAME_EXTENTS 32c -set _NET_FRAME_EXTENTS "$huge"
activate_browser chromium
expect_groups 0 2 0 1 0 1 2
click chromium 60
click chromium -20
"$CLIENT" lock 1
expect_groups 0 2 0 1 0 1 2 1
stop_velmora
# Selections: the three clicks, Chromium's rule twice. Nothing else asked for one.
[ "$(saved_switch_count)" = 5 ] || fail "$(saved_switch_count) selections, expected 5"

# The browser window goes away right at the click: the check finds no window, or a window
# that is gone while it is read.
start_velmora
activate_browser chrome
click chrome 60 &
kill "$(cat "$WORK/browser-chrome.pid")"
wait $! || fail "the click did not happen"
activate_browser beta
"$CLIENT" lock 2
activate_browser chromium # its rule again: the agent is still there and listening
wait_until "the rule of Chromium" group_is 2
stop_velmora
