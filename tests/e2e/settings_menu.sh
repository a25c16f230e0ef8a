#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The popover's settings menu, driven with the keyboard: Start at Login updates an earlier
# version's entry (no --autostart) at start, removes it, writes the program's own when chosen
# again; no Alfred tip nor rating entry, the entries after the settings open the project's pages;
# "Show Input Source Indicator" then Quit ends the agent with status 0 and the setting saved.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/popover_lib.sh"

ENTRY="$XDG_CONFIG_HOME/autostart/$AGENT_CLASS.desktop"

# The settings menu is closed: no pop-up of the agent other than the popover.
menu_closed() { ! other_popup_open; }

# choose KEYS...: once the menu is closed, opens it with its button (the rightmost of the button
# bar, 26 wide at x 256, 266 from the top of the content) and presses KEYS in it.
choose() {
    wait_until "the menu to close" menu_closed
    wait_until "the popover" click_icon_until_open
    xdotool mousemove $((PX + 1 + 269)) $((PY + 1 + 279)) click 1
    wait_until "the settings menu" other_popup_open
    xdotool key "$@"
}

# The box of the tip: a dialog window of the agent.
tip_shown() { agent_windows '$6 == "DIALOG"'; }
tip_closed() { ! tip_shown; }

setting_is() { flat_settings 2>/dev/null | grep -qF "<key>$1</key><$2/>"; }
entry_written() { [ -f "$ENTRY" ] && grep -q '^Exec=' "$ENTRY"; }
entry_gone() { [ ! -e "$ENTRY" ]; }

# Start at Login on, with the entry of an earlier version.
mkdir -p "$(dirname "$ENTRY")"
printf '[Desktop Entry]\nType=Application\nName=Velmora\nExec=%s\nX-Edited=kept\n' "$VELMORA" >"$ENTRY"
write_settings '<key>autoStartAtLogin</key><true/>'
entry_starts_at_login() { grep -qxF "Exec=$VELMORA --autostart" "$ENTRY"; }

# Pages open through xdg-open: this one writes down what it was asked to open.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$WORK/opened" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"

start_desktop
start_tray
"$CLIENT" lock 0 # menu keys are found in the first group
start_velmora
wait_until "the agent's icon in the tray" tray_icon_found
wait_until "the earlier entry brought up to date" entry_starts_at_login
grep -qx "X-Edited=kept" "$ENTRY" || fail "the entry lost the rest: $(cat "$ENTRY")"

# Item 0, the first below the top, off and on again.
choose Down Return
wait_until "the autostart entry removed" entry_gone
wait_until "start at login stored off" setting_is autoStartAtLogin false
choose Down Return
wait_until "the autostart entry" entry_written
# The entry starts this very program, by its resolved path, as started at login.
entry_starts_at_login || fail "the entry starts something else: $(cat "$ENTRY")"
wait_until "start at login stored" setting_is autoStartAtLogin true

# Nothing that means nothing here: no tip about Alfred, and no rating without a store page.
# Past the separator come the project's pages: "Velmora Online" (which opens the review page
# on the homepage) and then the support page.
choose Down Down Down Down Down Down Return
wait_until "the sixth entry to open a page" has_lines "$WORK/opened" 1
choose Down Down Down Down Down Down Down Return
wait_until "the seventh entry to open a page" has_lines "$WORK/opened" 2
[ "$(sed 's|.*/||' "$WORK/opened" | tr '\n' ' ')" = "review support " ] ||
    fail "the entries opened $(cat "$WORK/opened")"
tip_shown && fail "a tip about Alfred"

# The indicator's entry (item 1), then Quit, the last entry: Up from the top.
setting_is enableTipOfState true && fail "the indicator was on before it was chosen"
choose Down Down Return
choose Up Return
wait_for_velmora_exit
[ "$VELMORA_STATUS" -eq 0 ] || fail "Quit ended velmora with status $VELMORA_STATUS"
setting_is enableTipOfState true || fail "the indicator setting was not saved at Quit"
