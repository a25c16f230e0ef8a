#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The status item and the popover on a real X server. Without a tray: said once, settings in an
# ordinary window at start and at a second start after closing it; a later tray gets the icon.
# With trayer: the popover opens below the icon at start wherever the pointer is; a layout chosen
# in a row writes the rule, which the next activation applies; a second start opens the popover
# at the icon, one with --autostart exits quietly; the tray going away leaves the agent running
# and the next start shows the settings window. --autostart shows the icon, no popover. The add
# button's chooser: a few letters and Enter add an installed application, whose row takes a rule.
source "$(dirname "$0")/lib.sh" "$@"

source "$(dirname "$0")/popover_lib.sh"

# The application with a row: installed (a desktop file matches its windows' class) and
# first in the stored order, so that its row is the first.
printf '[Desktop Entry]\nType=Application\nName=Mail Tester\nExec=true\nStartupWMClass=MailTest\n' \
    >"$XDG_DATA_HOME/applications/org.example.Mail.desktop"
# Installed, not running: only the chooser can add it.
printf '[Desktop Entry]\nType=Application\nName=Quill Editor\nExec=true\n' \
    >"$XDG_DATA_HOME/applications/org.example.Quill.desktop"
write_settings '<key>orderOfAppsRule</key><array><string>org.example.Mail</string><string>OtherApp</string></array>'

# The popover is shown below the icon, over its middle.
popover_at_icon() {
    popover_found && [ "$PY" -ge $((IY + IH)) ] && [ "$PX" -le $((IX + IW / 2)) ] &&
        [ $((PX + PW)) -ge $((IX + IW / 2)) ]
}

no_tray() { ! "$CLIENT" tray; }

# The user picks English, then Mail comes back to the front and the agent switches it to
# German: once seen, the agent has handled everything that came to it before.
switch_seen_by_agent() {
    "$CLIENT" lock 0
    activate Other
    activate Mail
    wait_until "Mail's layout again" group_is 1
}

rule_is() {
    "$VELMORA" rules >"$WORK/rules" 2>>"$WORK/rules.log" || return 1
    grep -qx "$1" "$WORK/rules"
}
rule_of_mail_is_german() { rule_is "org.example.Mail	xkb:de"; }

chooser_open() { xdotool search --name '^Add an Application$' >/dev/null; }

start_desktop
open_apps Mail:MailTest Other:OtherApp

# Without a tray.
start_velmora
wait_until "the settings in a window of their own" settings_window
# Closed as the title bar's button closes it (a key binding of the window manager can be lost
# to a busy machine).
"$CLIENT" close "$SETTINGS_ID"
wait_until "the settings window to close" no_settings_window
"$VELMORA" >"$WORK/second-start" 2>>"$WORK/velmora.log"
grep -q "asked it to show its settings" "$WORK/second-start" ||
    fail "a second start did not ask the running agent: $(cat "$WORK/second-start")"
wait_until "the settings shown again" settings_window
[ "$(grep -c "no system tray" "$WORK/velmora.log")" -eq 1 ] ||
    fail "the missing tray was not told once: $(cat "$WORK/velmora.log")"

# A tray that comes later gets the icon.
start_tray
wait_until "the agent's icon in the tray that came later" tray_icon_found
stop_velmora

# With a tray: the popover at start goes to the icon, not to the pointer far from it.
"$CLIENT" lock 0
xdotool mousemove 100 600
start_velmora
wait_until "the agent's icon in the tray" tray_icon_found
wait_until "the popover below the tray icon at start" popover_at_icon
grep -q "no system tray" "$WORK/velmora.log" && fail "the tray was there, but velmora says not"

# The first row's layout box: below the table's header (at most 37 high) in the first row.
xdotool mousemove $((PX + 1 + 36 + 110 + 70)) $((PY + 38)) click 1
wait_until "the list of layouts" other_popup_open
xdotool key G Return
wait_until "the rule for Mail" rule_of_mail_is_german
close_popover

start_group_watch
activate Other
activate Mail
expect_groups "1"

# A second start opens the popover at the icon; one at login says nothing and opens nothing
# (anything it asked of the agent came before the later activation, on the same connection).
"$VELMORA" --autostart >"$WORK/login-start" 2>&1 || fail "velmora --autostart beside the agent failed"
[ -s "$WORK/login-start" ] && fail "velmora --autostart beside the agent said: $(cat "$WORK/login-start")"
switch_seen_by_agent
popover_closed || fail "velmora --autostart beside the agent opened the popover"
"$VELMORA" >"$WORK/second-start" 2>>"$WORK/velmora.log"
wait_until "the popover at the icon after a second start" popover_at_icon

# The add button's chooser: a few letters and Enter add the installed application as the third
# row (after Mail and OtherApp), and the popover comes back with it.
click_content 19 279
wait_until "the application chooser" chooser_open
xdotool type --delay 30 quil
xdotool key Return
wait_until "the popover back after the chooser" popover_at_icon
xdotool mousemove $((PX + 1 + 36 + 110 + 70)) $((PY + 38 + 2 * 25)) click 1
wait_until "the list of layouts" other_popup_open
xdotool key R Return
wait_until "the rule for the application added" rule_is "org.example.Quill	xkb:ru"

# The tray goes away under the open popover: once it is closed, the next start shows the
# settings in a window.
kill "$TRAYER_PID"
wait_until "the tray to go" no_tray
wait_until "velmora to see the tray go" velmora_says "no system tray"
if popover_found; then close_popover; fi
"$VELMORA" >"$WORK/second-start" 2>>"$WORK/velmora.log"
wait_until "the settings in a window of their own without the tray" settings_window
stop_velmora

# Started at login: the icon, and no popover.
start_tray
start_velmora --autostart
wait_until "the agent's icon in the tray at login" tray_icon_found
switch_seen_by_agent
popover_closed || fail "the popover opened at a start at login"
stop_velmora
