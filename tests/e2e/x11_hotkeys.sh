#!/usr/bin/env bash
# Runs the hotkey centre's tests (the third argument) on a display of their own: Xvfb with
# the layouts us,de,ru and no window manager, whose key grabs would compete with the tests'.
source "$(dirname "$0")/lib.sh" "$1" "$2"
TEST_BINARY=$(realpath "$3")

start_display
"$TEST_BINARY"
