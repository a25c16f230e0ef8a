#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fcitx5 from the distribution on a private session bus, with the group "keyboard-us, pinyin":
# its input methods are the input sources ("velmora sources", rules checked against them, an
# "xkb:us" rule selecting keyboard-us). An application whose input contexts take Fcitx5's focus
# 60 ms after its windows take the desktop's gets each rule's input method in the window brought
# to the front, never in the one left, and a key typed right after is handled by it. Fcitx5
# killed and started again: the front application's rule reaches its new context, made well
# after the restart, and the rest as before. (fcitx5.sh VELMORA CLIENT FCITX5-CLIENT)
source "$(dirname "$0")/lib.sh" "$@"
IM_CLIENT=$(realpath "$3")

mkdir -p "$XDG_CONFIG_HOME/fcitx5"
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
PROFILE
start_desktop
start_session_bus

controller() {
    dbus-send --session --print-reply=literal --dest=org.fcitx.Fcitx5 /controller \
        "org.fcitx.Fcitx.Controller1.$@"
}
# Asked of the bus: a call to Fcitx5 would start one from the distribution's service file.
fcitx5_on_bus() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 | grep -q true
}
start_fcitx5() {
    fcitx5 --disable=all --enable=dbus,dbusfrontend,keyboard,pinyin,punctuation,xcb >>"$WORK/fcitx5.log" 2>&1 &
    FCITX5_PID=$!
    PIDS+=("$FCITX5_PID")
    wait_until "Fcitx5 on the bus" fcitx5_on_bus
    # Its addons load after it takes the name (seconds under load).
    wait_until "Fcitx5's group" eval 'controller InputMethodGroupInfo string:Default | grep -q pinyin'
}
# start_client NAME: the application with the windows AppA and AppB.
start_client() {
    "$IM_CLIENT" 60 100 AppA AppB >"$WORK/$1.log" 2>>"$WORK/client.log" &
    PIDS+=($!)
    wait_until "the windows of $1" has_lines "$WORK/$1.log" 2
    sed -n 's/^window //p' "$WORK/$1.log" >"$WORK/windows-$1"
}
keys_since() { [ "$(grep -c '^key ' "$WORK/$1.log")" -gt "$2" ]; }
# activate_and_type NAME I HANDLED: window I of NAME to the front; the key typed right after is
# taken by the input method (1) or left to the application (0). AppA's Pinyin never goes to
# AppB's context.
activate_and_type() {
    local before key pinyin_in_b
    before=$(grep -c '^key ' "$WORK/$1.log")
    pinyin_in_b=$(grep -c '^im AppB pinyin' "$WORK/$1.log" || true)
    activate "$1" "$2"
    wait_until "a key typed into window $2 of $1" keys_since "$1" "$before"
    key=$(grep '^key ' "$WORK/$1.log" | sed -n "$((before + 1))p")
    [ "$key" = "key $(sed -n "$2p" <<<$'AppA\nAppB') $3" ] || fail "typed after activating $2: $key"
    [ "$2" = 2 ] || [ "$(grep -c '^im AppB pinyin' "$WORK/$1.log" || true)" = "$pinyin_in_b" ] ||
        fail "AppA's selection went to AppB's context"
}
current_im_is() { [ "$(controller CurrentInputMethod | tr -d ' ')" = "$1" ]; }

start_fcitx5
"$VELMORA" rule AppA fcitx5:pinyin
"$VELMORA" rule AppB xkb:us
! "$VELMORA" rule AppA fcitx5:pinjin 2>"$WORK/refused" || fail "a name Fcitx5 lacks was stored"
grep -q "did you mean fcitx5:pinyin?" "$WORK/refused" || fail "no suggestion: $(cat "$WORK/refused")"
[ "$("$VELMORA" sources)" = "$(printf 'fcitx5:keyboard-us\tKeyboard - English (US)\nfcitx5:pinyin\tPinyin')" ] ||
    fail "velmora sources listed: $("$VELMORA" sources)"

# warm_up NAME: the agent's first activation waits for the screen, and Fcitx5 loads Pinyin when
# it is first selected; the next ones are at once.
# The key typed into A after it is awaited too, so that the next step counts from after it.
# seen_since NAME MARK LINE: a line that begins with LINE after the last one that begins with MARK.
seen_since() {
    awk -v mark="$2" -v line="$3" 'index($0, mark) == 1 { m = 1; n = 0 } m && index($0, line) == 1 { n++ }
        END { exit !n }' "$WORK/$1.log"
}
last_focus_is() { [ "$(grep '^focus ' "$WORK/$1.log" | tail -n 1 | cut -d' ' -f2)" = "$2" ]; }
warm_up() {
    activate "$1" 2
    wait_until "B's context focused" last_focus_is "$1" AppB
    activate "$1" 1
    wait_until "Pinyin current" current_im_is pinyin
    wait_until "the key typed into A after the warm-up" seen_since "$1" "focus AppA " "key "
}

start_client first
start_velmora
wait_until "velmora to take Fcitx5's input methods" velmora_says "input sources from Fcitx5"
warm_up first
activate_and_type first 2 0
# The user's own choice in B (once the agent's check 100 ms after its selection is over), then
# B again after A: B's rule puts English back.
sleep 1
controller SetCurrentIM string:pinyin
activate_and_type first 1 1
activate_and_type first 2 0
activate_and_type first 1 1

kill "$FCITX5_PID"
wait_until "velmora to go back to the layouts" velmora_says "Fcitx5 is gone"
start_fcitx5
said_twice() { [ "$(grep -c "input sources from Fcitx5" "$WORK/velmora.log")" -ge 2 ]; }
wait_until "velmora to take the new Fcitx5's input methods" said_twice
# The client makes its contexts anew on the new Fcitx5 only after the agent applied A's rule
# again for the new input sources: the rule waits for A's new context instead of being lost.
wait_until "Pinyin in A's new context" seen_since first "contexts anew" "im AppA pinyin"
activate_and_type first 2 0
activate_and_type first 1 1
stop_velmora
