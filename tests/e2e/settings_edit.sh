#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The settings file changed by other programs while the agent runs: the next activation uses
# the rules as they are in the file now, whether "velmora rule" or an editor wrote them. (A file
# that turns bad meanwhile: StoreFileTurnsBad in tests/store; a bad one at start: program.sh.)
source "$(dirname "$0")/lib.sh" "$@"

# switch_count_saved N: the agent's write of a switch counter of at least N reached the file,
# so that a write of ours cannot cross it. (At least: an activation right after start, or two
# within 100 ms, may ask for the same layout twice, and each request counts.)
switch_count_saved() {
    local count
    count=$(saved_switch_count)
    [ -n "$count" ] && [ "$count" -ge "$1" ]
}

start_desktop
"$VELMORA" rule AppB xkb:de
open_apps a:AppA b:AppB other:Other
start_group_watch
start_velmora

activate a # no rule for A yet
activate b
expect_groups 1 # the agent has seen both activations
"$VELMORA" rule AppA xkb:ru
activate a
expect_groups 1 2
wait_until "the switch count in the file" switch_count_saved 2

# An editor that writes a new file and renames it over the old one.
cat >"$SETTINGS.new" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>velmora</key>
	<dict>
		<key>AppA</key>
		<dict>
			<key>id</key>
			<string>xkb:de</string>
		</dict>
		<key>AppB</key>
		<dict>
			<key>id</key>
			<string>xkb:us</string>
		</dict>
	</dict>
</dict>
</plist>
PLIST
mv "$SETTINGS.new" "$SETTINGS"
activate b
activate a
expect_groups 1 2 0 1
# The editor's file had no counter: it starts again from there.
wait_until "the switch count in the file" switch_count_saved 2

"$VELMORA" rule AppA -
expect_rules 'AppA\t-\nAppB\txkb:us'
activate b
expect_groups 1 2 0 1 0
"$CLIENT" lock 2
activate a # no rule any more
activate b
expect_groups 1 2 0 1 0 2 0

stop_velmora
