#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The settings file changed by other programs while the agent runs: the next activation uses
# the rules as they are in the file now, whether "velmora rule" or an editor wrote them.
source "$(dirname "$0")/lib.sh" "$@"

# switch_count_saved N: the agent's write of a switch counter of at least N reached the file,
# so that a write of ours cannot cross it. (At least: an activation right after start, or two
# within 100 ms, may ask for the same layout twice, and each request counts.)
switch_count_saved() {
    local count
    count=$(saved_switch_count)
    [ -n "$count" ] && [ "$count" -ge "$1" ]
}

# One copy of the bad file, and a settings file written after it.
bad_file_set_aside() {
    local copies=("$SETTINGS".corrupt-*)
    [ -f "${copies[0]}" ] && [ "${#copies[@]}" -eq 1 ] && [ -n "$(saved_switch_count)" ]
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

# A hand edit leaves the file unreadable while the agent runs: the rules read before still
# apply, and the agent's next write keeps the bad file beside the settings file and saves the
# rules with its change.
"$VELMORA" rule AppA xkb:ru
count=$(saved_switch_count)
activate a
expect_groups 1 2 0 1 0 2 0 2
wait_until "the switch count in the file" switch_count_saved $((count + 1))
printf '<plist><dict><key>velmora</key><dict><key>AppA</ke' >"$SETTINGS" # in place
cp "$SETTINGS" "$WORK/bad-settings"
activate b
expect_groups 1 2 0 1 0 2 0 2 0 # before A: a rule for the layout in force now is skipped
activate a
expect_groups 1 2 0 1 0 2 0 2 0 2
wait_until "the bad file to be set aside" bad_file_set_aside
cmp -s "$SETTINGS".corrupt-* "$WORK/bad-settings" || fail "the bad file was not kept as it was"
expect_rules 'AppA\txkb:ru\nAppB\txkb:us'
grep -F "$SETTINGS could not be read" "$WORK/velmora.log" | grep -qF "$(echo "$SETTINGS".corrupt-*)" ||
    fail "no message naming the file and its copy: $(cat "$WORK/velmora.log")"

# Repaired by hand: the next activation uses the new rule.
sed 's|<string>xkb:ru</string>|<string>xkb:de</string>|' "$SETTINGS" >"$SETTINGS.new"
mv "$SETTINGS.new" "$SETTINGS"
activate b
activate a
expect_groups 1 2 0 1 0 2 0 2 0 2 0 1
wait_until "the switch count in the file" switch_count_saved $((count + 5))
[ "$(grep -c "kept the last good settings" "$WORK/velmora.log")" -eq 1 ] ||
    fail "the bad file was not reported exactly once: $(cat "$WORK/velmora.log")"
[ "$(ls "$SETTINGS".corrupt-* | wc -l)" -eq 1 ] || fail "a good file was set aside"

stop_velmora
