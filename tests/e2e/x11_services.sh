#!/usr/bin/env bash
# Runs x11_services_test (its third argument) on a prepared desktop.
source "$(dirname "$0")/lib.sh" "$1" "$2"
TEST_BINARY=$(realpath "$3")

start_desktop
open_windows a ListA 1
open_windows c ListC 1
open_windows b ListB 1
xdotool windowminimize --sync "$(window c)"
activate b
E2E_WINDOW_A=$(window a) E2E_WINDOW_B=$(window b) E2E_WINDOW_C=$(window c) "$TEST_BINARY"
