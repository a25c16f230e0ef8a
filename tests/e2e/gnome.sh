#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The agent in a headless GNOME Shell with its extension (start_gnome_shell in lib.sh):
# started before the extension is enabled, it says how to enable it and takes it then;
# activation selects each application's rule (one window with a desktop file, keyed by it, one
# keyed by its app id), a source chosen by hand stays until the next activation, the command line
# asks the agent, the extension disabled and enabled again is followed, and GNOME Shell's end
# ends the agent with its rules kept. Windows come from the Qt Wayland client; the tests' own
# extension brings them to the front and reads GNOME's current source.
# Usage: gnome.sh VELMORA E2E_CLIENT, with $VELMORA_GNOME_EXTENSIONS and $VELMORA_WAYLAND_WINDOW.
# Exit 77 (skipped) without gnome-shell or a namespace of the test's own.
[ -n "${VELMORA_GNOME_ROOT:-}" ] || command -v gnome-shell >/dev/null || exit 77
E2E_PRIVATE_RUN=1 E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
UUID=velmora@quorvant.com
printf '[Desktop Entry]\nType=Application\nName=Velmora test\nExec=true\n' \
    >"$XDG_DATA_HOME/applications/velmora-test-de.desktop"
start_gnome_shell
export XDG_CURRENT_DESKTOP=GNOME
source_is() {
    [ "$(gdbus call --session --dest org.gnome.Shell --object-path /com/quorvant/VelmoraTest \
        --method com.quorvant.VelmoraTest1.CurrentSource 2>>"$WORK/client.log")" = "('$1',)" ]
}
# brings APP ID: APP to the front until GNOME's current source is ID.
brings() { wait_until "$2 for $1" eval "gnome_test ActivateWindowOf $1; source_is $2"; }
"$VELMORA" desktop | grep -q "extension enabled" || fail "velmora desktop: $("$VELMORA" desktop)"

"$VELMORA" rule velmora-test-de xkb:de 2>/dev/null
"$VELMORA" rule velmora-test-ru xkb:ru 2>/dev/null
open_wayland_window velmora-test-de
open_wayland_window velmora-test-ru
# Started before the extension is enabled: the agent says how to enable it, and takes it then.
gnome_extensions DisableExtension "$UUID" >/dev/null
QT_QPA_PLATFORM=offscreen "$VELMORA" >"$WORK/velmora-out.log" 2>"$WORK/velmora.log" &
VELMORA_PID=$!
PIDS+=("$VELMORA_PID")
wait_until "the advice to enable the extension" velmora_says "gnome-extensions enable $UUID"
gnome_extensions EnableExtension "$UUID" >/dev/null
for round in 1 2; do
    brings velmora-test-de de
    brings velmora-test-ru ru
done

# The command line asks the agent, which alone the extension answers.
[ "$("$VELMORA" sources | cut -f1 | tr '\n' ' ')" = "xkb:us xkb:de xkb:ru " ] ||
    fail "velmora sources: $("$VELMORA" sources 2>&1)"
[ "$("$VELMORA" apps | cut -f1 | grep velmora-test | sort | tr '\n' ' ')" = \
    "velmora-test-de velmora-test-ru " ] || fail "velmora apps: $("$VELMORA" apps 2>&1)"

# English chosen by hand stays; the next activation selects its rule.
gnome_test SelectSource us || fail "no English to choose by hand"
wait_until "English by hand" source_is us
brings velmora-test-de de

# The extension disabled and enabled again (as GNOME does when the screen locks): followed.
gnome_extensions DisableExtension "$UUID" >/dev/null
wait_until "the extension's loss said" velmora_says "extension disabled"
gnome_extensions EnableExtension "$UUID" >/dev/null
wait_until "the extension enabled again" extension_enabled "$UUID"
brings velmora-test-ru ru

# GNOME Shell's end ends the agent with a word, its rules kept.
kill "$GNOME_SHELL_PID"
wait_for_velmora_exit
[ "$VELMORA_STATUS" -eq 1 ] || fail "velmora exited with $VELMORA_STATUS when GNOME Shell ended"
velmora_says "GNOME is gone" || fail "velmora did not say that GNOME is gone"
grep -q velmora-test-ru "$SETTINGS" || fail "the settings lost the rules"
