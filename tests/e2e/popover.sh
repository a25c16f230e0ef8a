#!/usr/bin/env bash
# The status item and the popover on a real X server:
# - without a tray, the agent says so once and shows its settings in an ordinary window: at
#   start, and again when velmora is started a second time after the user closed it; a tray
#   that comes later gets the icon;
# - with a tray (trayer), the agent's icon is in it; a click on the icon opens the popover
#   below it; choosing a layout in an application's row writes the rule, and the next
#   activation of that application selects the layout; a second start opens the popover too.
source "$(dirname "$0")/lib.sh" "$@"

source "$(dirname "$0")/popover_lib.sh"

# The application with a row: installed (a desktop file matches its windows' class) and
# first in the stored order, so that its row is the first.
mkdir -p "$XDG_DATA_HOME/applications" "$(dirname "$SETTINGS")"
printf '[Desktop Entry]\nType=Application\nName=Mail Tester\nExec=true\nStartupWMClass=MailTest\n' \
    >"$XDG_DATA_HOME/applications/org.example.Mail.desktop"
cat >"$SETTINGS" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>orderOfAppsRule</key><array><string>org.example.Mail</string><string>OtherApp</string></array>
</dict></plist>
EOF

# The agent's ordinary window as wide as the popover: its settings without a tray.
settings_window() {
    "$CLIENT" agent-windows "$AGENT_CLASS" >"$WORK/agent-windows" || return 1
    awk -v w="$POPOVER_WIDTH" '$6 == "NORMAL" && $4 == w' "$WORK/agent-windows" >"$WORK/settings"
    [ -s "$WORK/settings" ]
}
no_settings_window() { ! settings_window; }

# The popover is shown below the icon, over its middle.
popover_at_icon() {
    popover_found && [ "$PY" -ge $((IY + IH)) ] && [ "$PX" -le $((IX + IW / 2)) ] &&
        [ $((PX + PW)) -ge $((IX + IW / 2)) ]
}

# One step towards the popover at the icon: the agent may have shown it at start, before the
# tray told where its icon is; then it is closed, and the icon clicked.
open_popover_at_icon() {
    popover_at_icon && return 0
    if popover_found; then xdotool key Escape; else click_icon_until_open; fi
    return 1
}

rule_of_mail_is_german() {
    "$VELMORA" rules >"$WORK/rules" 2>>"$WORK/rules.log" || return 1
    grep -qx "org.example.Mail	xkb:de" "$WORK/rules"
}

start_desktop
open_windows Mail MailTest 1
open_windows Other OtherApp 1

# Without a tray.
start_velmora
wait_until "the settings in a window of their own" settings_window
read -r SETTINGS_ID _ <"$WORK/settings"
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

# With a tray.
"$CLIENT" lock 0
start_velmora
wait_until "the agent's icon in the tray" tray_icon_found
wait_until "the popover below the tray icon" open_popover_at_icon
grep -q "no system tray" "$WORK/velmora.log" && fail "the tray was there, but velmora says not"

# The first row's layout box: below the table's header (at most 37 high) in the first row.
xdotool mousemove $((PX + 1 + 36 + 110 + 70)) $((PY + 38)) click 1
wait_until "the list of layouts" other_popup_open
xdotool key G Return
wait_until "the rule for Mail" rule_of_mail_is_german
xdotool key Escape
wait_until "the popover to close" popover_closed

start_group_watch
activate Other
activate Mail
expect_groups "1"

# A second start opens the popover at the icon.
"$VELMORA" >"$WORK/second-start" 2>>"$WORK/velmora.log"
wait_until "the popover at the icon after a second start" popover_at_icon
stop_velmora
