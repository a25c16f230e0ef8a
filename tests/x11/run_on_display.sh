#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a live-display test binary (run_on_display.sh VELMORA E2E_CLIENT BINARY SETUP) on an Xvfb
# of its own with the layouts us,de,ru. SETUP: "bare" has no window manager, whose key grabs
# would compete with the tests' and which would move the tests' windows; "no-xfixes" adds a
# second Xvfb without XFixes (its display in E2E_NO_XFIXES_DISPLAY); "desktop" runs openbox with
# the windows A, C, B made in that order, C minimized and B active (ids in E2E_WINDOW_A/B/C).
source "$(dirname "$0")/../e2e/lib.sh" "$1" "$2"
TEST_BINARY=$(realpath "$3")

case "$4" in
bare) start_display ;;
no-xfixes)
    start_display
    Xvfb -displayfd 6 -screen 0 640x480x24 -nolisten tcp -noreset -extension XFIXES \
        6>"$WORK/display-no-xfixes" >"$WORK/xvfb-no-xfixes.log" 2>&1 &
    PIDS+=($!)
    wait_until "Xvfb without XFixes to start" display_number_written "$WORK/display-no-xfixes"
    export E2E_NO_XFIXES_DISPLAY=":$(cat "$WORK/display-no-xfixes")"
    ;;
desktop)
    start_desktop
    open_windows a ListA 1
    open_windows c ListC 1
    open_windows b ListB 1
    xdotool windowminimize --sync "$(window c)"
    activate b
    export E2E_WINDOW_A=$(window a) E2E_WINDOW_B=$(window b) E2E_WINDOW_C=$(window c)
    ;;
*) fail "unknown setup $4" ;;
esac
"$TEST_BINARY"
