#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent on GNOME against a fake of its Shell extension ($VELMORA_FAKE_SERVICES gnome-disabled
# owning org.gnome.Shell on a private session bus; the agent offscreen, no compositor): found
# through XDG_CURRENT_DESKTOP and the bus, it waits for the extension to be enabled, selects each
# focused application's rule through it (a layout's variant, an IBus engine), survives the
# extension's disabling, and ends with status 1, its rules kept, when gnome-shell leaves the bus.
# Usage: gnome_agent.sh VELMORA E2E_CLIENT.
source "$(dirname "$0")/lib.sh"
start_session_bus
export XDG_CURRENT_DESKTOP=GNOME WAYLAND_DISPLAY=velmora-gnome-none QT_QPA_PLATFORM=offscreen
unset SWAYSOCK
! "$VELMORA" desktop >"$WORK/desktop" && grep -q 'org.gnome.Shell has no owner' "$WORK/desktop" ||
    fail "velmora desktop found a GNOME Shell"

mkfifo "$WORK/shell-in"
"$VELMORA_FAKE_SERVICES" gnome-disabled <"$WORK/shell-in" >"$WORK/shell" 2>>"$WORK/client.log" &
PIDS+=($!)
SHELL_PID=$!
exec 7>"$WORK/shell-in"
wait_until "the fake GNOME Shell" grep -qx ready "$WORK/shell"
shell() { echo "$*" >&7; }
"$VELMORA" desktop >"$WORK/desktop"
grep -qx 'desktop: gnome' "$WORK/desktop" && grep -q 'extension disabled' "$WORK/desktop" ||
    fail "velmora desktop: $(cat "$WORK/desktop")"
store_shortcuts 'xkb:de' 2 $((0x40000)) # off on GNOME, said
"$VELMORA" rule org.gnome.TextEditor 'xkb:de(nodeadkeys)' 2>/dev/null
"$VELMORA" rule Anthyapp ibus:anthy 2>/dev/null

: >"$WORK/velmora.log"
"$VELMORA" >"$WORK/velmora-out.log" 2>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "the advice to enable the extension" velmora_says 'gnome-extensions enable velmora@quorvant.com'
velmora_says 'running on GNOME Shell' && velmora_says 'binds no global shortcuts' ||
    fail "velmora does not run on GNOME, or does not say that the hotkeys are off"
shell enable
wait_until "the extension taken" velmora_says "extension answers"
activations() { grep -c '^Activate' "$WORK/shell" || true; }
# focus_selects FOCUS... TYPE ID: the focus makes the agent activate TYPE ID, as its next activation.
focus_selects() {
    local before=$(activations)
    shell focus "${@:1:3}"
    wait_until "activation of $4 $5" eval '[ "$(activations)" -gt '"$before"' ]'
    [ "$(grep '^Activate' "$WORK/shell" | tail -n 1)" = "$(printf 'Activate\t%s\t%s' "$4" "$5")" ] ||
        fail "focus ${*:1:3} activated: $(grep '^Activate' "$WORK/shell" | tail -n 1)"
}
focus_selects org.gnome.TextEditor.desktop - 101 xkb de+nodeadkeys
focus_selects - Anthyapp 102 ibus anthy
velmora_says 'input sources of a kind the agent cannot select' || fail "the unknown source was not said"
# The extension answers the agent alone: the command line asks the agent.
"$VELMORA" sources | grep -qx "$(printf 'ibus:anthy\tJapanese (Anthy)')" || fail "sources: $("$VELMORA" sources)"
[ "$("$VELMORA" apps | cut -f1 | sort | tr '\n' ' ')" = "Anthyapp org.gnome.TextEditor " ] ||
    fail "apps: $("$VELMORA" apps)"
shell disable
wait_until "the extension's loss said" velmora_says 'extension disabled'
shell enable
focus_selects org.gnome.TextEditor.desktop - 101 xkb de+nodeadkeys
stop_pid "$SHELL_PID"
wait_for_velmora_exit
[ "$VELMORA_STATUS" -eq 1 ] || fail "velmora exited with $VELMORA_STATUS when GNOME Shell left"
velmora_says 'GNOME is gone' || fail "GNOME's loss was not said"
expect_rules 'Anthyapp\tibus:anthy\norg.gnome.TextEditor\txkb:de(nodeadkeys)\n'
