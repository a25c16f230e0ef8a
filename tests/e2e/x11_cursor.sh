#!/usr/bin/env bash
# Runs the cursor's tests (the third argument) on displays of their own, without a window
# manager so that the test's windows stay where it puts them: Xvfb as usual, and a second one
# without XFixes (its display in E2E_NO_XFIXES_DISPLAY).
source "$(dirname "$0")/lib.sh" "$1" "$2"
TEST_BINARY=$(realpath "$3")

start_display
Xvfb -displayfd 6 -screen 0 640x480x24 -nolisten tcp -noreset -extension XFIXES \
    6>"$WORK/display-no-xfixes" >"$WORK/xvfb-no-xfixes.log" 2>&1 &
PIDS+=($!)
wait_until "Xvfb without XFixes to start" display_number_written "$WORK/display-no-xfixes"
E2E_NO_XFIXES_DISPLAY=":$(cat "$WORK/display-no-xfixes")" "$TEST_BINARY"
