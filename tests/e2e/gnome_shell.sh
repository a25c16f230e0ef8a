#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Velmora's GNOME Shell extension in a headless GNOME Shell, driven as the agent drives it by a
# program that owns the agent's bus name: the focused window's app id, class and pid at each
# activation (one window with a desktop file, one without); GNOME's input sources, the current
# one and its selection; every other caller refused; the extension disabled and enabled again.
# Windows come from the Qt Wayland client; the tests' own extension brings them to the front.
# Usage: gnome_shell.sh VELMORA E2E_CLIENT, with $VELMORA_GNOME_EXTENSIONS (the built
# extensions' folder), $VELMORA_FAKE_SERVICES and $VELMORA_WAYLAND_WINDOW. Exit 77 (skipped)
# without gnome-shell or a namespace of the test's own.
[ -n "${VELMORA_GNOME_ROOT:-}" ] || command -v gnome-shell >/dev/null || exit 77
WINDOW=$(realpath "$VELMORA_WAYLAND_WINDOW")
E2E_PRIVATE_RUN=1 E2E_UNPRIVILEGED=1 source "$(dirname "$0")/lib.sh"
UUID=velmora@quorvant.com

printf '[Desktop Entry]\nType=Application\nName=Velmora test\nExec=true\n' \
    >"$XDG_DATA_HOME/applications/velmora-test-de.desktop"
start_gnome_shell
# The agent's stand-in, its calls written to it through a pipe that this script holds open.
mkfifo "$WORK/calls"
exec 7<>"$WORK/calls"
"$VELMORA_FAKE_SERVICES" agent <&7 >"$WORK/agent.log" 2>>"$WORK/client.log" &
PIDS+=($!)
wait_until "the agent's name" grep -qx ready "$WORK/agent.log"
answers() { grep -cE '^(reply|error)' "$WORK/agent.log" || true; }
# call METHOD [ARG...]: the extension's answer to the agent, "reply VALUE..." or "error NAME".
call() {
    local before
    before=$(answers)
    echo "$*" >&7
    wait_until "the answer to $1" eval '[ "$(answers)" -gt '"$before"' ]'
    grep -E '^(reply|error)' "$WORK/agent.log" | tail -n 1 | cut -f1,3- | tr '\t' ' '
}
expect() { [ "$(call "${@:3}")" = "$1" ] || fail "$2 answered $(call "${@:3}"), expected $1"; }
last_signal_is() { [ "$(grep "^$1" "$WORK/agent.log" | tail -n 1 | tr '\t' ' ')" = "$*" ]; }

# Another program listening for the extension's signals: they are for the agent alone.
gdbus monitor --session --dest org.gnome.Shell --object-path /com/quorvant/Velmora/Shell \
    >"$WORK/outsider.log" 2>&1 &
PIDS+=($!)
declare -A PID
for app in velmora-test-de velmora-test-ru; do
    env "${WAYLAND_CLIENT_SANITIZERS[@]}" QT_QPA_PLATFORM=wayland "$WINDOW" $app >>"$WORK/windows.log" 2>&1 &
    PIDS+=($!)
    PID[$app]=$!
done
# Each activation is told: the app id is the desktop file's, none for a window without one.
DE=(velmora-test-de.desktop velmora-test-de "${PID[velmora-test-de]}")
RU=("" velmora-test-ru "${PID[velmora-test-ru]}")
# focus APP WANT...: APP brought to the front until the last focus told is WANT (the other
# window may still be on its way and take the focus as it comes).
focus() { gnome_test ActivateWindowOf "$1" && last_signal_is FocusChanged "${@:2}"; }
for _ in 1 2; do
    wait_until "the focus on velmora-test-de" focus velmora-test-de "${DE[@]}"
    wait_until "the focus on velmora-test-ru" focus velmora-test-ru "${RU[@]}"
done
expect "reply ${RU[*]}" "GetFocus" GetFocus

# While the agent runs, the top bar's button opens its settings.
wait_until "the top bar's button" gnome_test ClickPanelButton velmora
wait_until "the agent's settings opened" grep -q "^ShowSettings" "$WORK/agent.log"

# GNOME's sources in its order; the one the agent selects becomes current, and is told; a
# source GNOME does not have is not found.
[ "$(call GetInputSources | tr ' ' '\n' | grep -o '^xkb,[a-z]*' | tr '\n' ' ')" = \
    "xkb,us xkb,de xkb,ru " ] || fail "GetInputSources answered $(call GetInputSources)"
expect "reply true" "ActivateInputSource de" ActivateInputSource xkb de
wait_until "the change to German told" last_signal_is CurrentInputSourceChanged xkb de
expect "reply xkb de" "GetCurrentInputSource" GetCurrentInputSource
expect "reply false" "ActivateInputSource fr" ActivateInputSource xkb fr

# Any other caller is refused, and nothing is done for it.
outsider() {
    gdbus call --session --dest org.gnome.Shell --object-path /com/quorvant/Velmora/Shell \
        --method "com.quorvant.Velmora.Shell1.$1" "${@:2}" 2>&1 || true
}
for method in GetVersion GetFocus GetInputSources GetCurrentInputSource "ActivateInputSource xkb ru"; do
    outsider $method | grep -q AccessDenied || fail "$method answered another caller: $(outsider $method)"
done
expect "reply xkb de" "GetCurrentInputSource after the refusals" GetCurrentInputSource
grep -q Changed "$WORK/outsider.log" && fail "another program heard the extension's signals"

# Disabled, the extension is gone from the bus; enabled again, it answers and tells again.
gnome_extensions DisableExtension $UUID >/dev/null
wait_until "the extension to go" eval '[ "$(call GetVersion)" != "reply 1" ]'
gnome_extensions EnableExtension $UUID >/dev/null
wait_until "the extension back" eval '[ "$(call GetVersion)" = "reply 1" ]'
wait_until "the top bar's button back" gnome_test ClickPanelButton velmora
wait_until "the settings opened again" eval '[ "$(grep -c ^ShowSettings "$WORK/agent.log")" = 2 ]'
wait_until "the focus on velmora-test-de told again" focus velmora-test-de "${DE[@]}"

# Neither extension ran into an error that the shell wrote down.
! grep -i quorvant "$WORK/gnome-shell.log" || fail "the shell's log names the extensions"
