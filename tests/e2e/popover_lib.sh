# SPDX-License-Identifier: MIT
# What the scripts that work the popover share: finding the agent's tray icon and popover, and
# clicking into it. Sourced after lib.sh.

POPOVER_WIDTH=290 # the content's 288 and a border of 1 on each side

# The settings window (the popover's content in an ordinary window), in SETTINGS_ID SX SY SW SH.
settings_window() {
    agent_windows "\$6 == \"NORMAL\" && \$7 == \"-\" && \$4 == $POPOVER_WIDTH" &&
        read -r SETTINGS_ID SX SY SW SH _ <"$WORK/agent-windows"
}
no_settings_window() { ! settings_window; }

# The popover, "ID X Y W H", in PX PY PW PH; false when it is not shown.
popover_found() {
    agent_windows "\$7 == \"popup\" && \$4 == $POPOVER_WIDTH" &&
        read -r _ PX PY PW PH _ <"$WORK/agent-windows"
}
popover_closed() { ! popover_found; }
close_popover() {
    xdotool key Escape
    wait_until "the popover to close" popover_closed
}

# Another pop-up of the agent, narrower than the popover: a layout list or the settings menu.
other_popup_open() { agent_windows "\$7 == \"popup\" && \$4 != $POPOVER_WIDTH"; }

# The agent's icon in the tray, in IX IY IW IH.
tray_icon_found() {
    agent_windows '$7 == "trayer"' && [ "$(wc -l <"$WORK/agent-windows")" -eq 1 ] &&
        read -r _ IX IY IW IH _ <"$WORK/agent-windows"
}

LAST_CLICK=0
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Clicks on the icon a second apart: one while the popover maps would close it again.
click_icon_until_open() {
    popover_found && return 0
    if [ $(($(now_ms) - LAST_CLICK)) -ge 1000 ]; then
        xdotool mousemove $((IX + IW / 2)) $((IY + IH / 2)) click 1
        LAST_CLICK=$(now_ms)
    fi
    return 1
}

# Content coordinates (from the popover's top left, inside its border of 1) on the screen.
click_content() { xdotool mousemove $((PX + 1 + $1)) $((PY + 1 + $2)) click 1; }

# A system tray at the top right of the screen, and the agent's icon in it once it runs.
start_tray() {
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        >"$WORK/trayer.log" 2>&1 &
    TRAYER_PID=$!
    PIDS+=("$TRAYER_PID")
    wait_until "the tray" "$CLIENT" tray
}
