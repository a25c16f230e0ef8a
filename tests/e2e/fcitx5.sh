#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fcitx5 from the distribution on a private session bus, with the group "keyboard-us, pinyin":
# its input methods are the input sources ("velmora sources", rules checked against them, an
# "xkb:us" rule selecting keyboard-us). An application whose input contexts take Fcitx5's focus
# 60 ms after its windows take the desktop's gets each rule's input method in the window brought
# to the front, never in the one left, and a key typed right after is handled by it. Fcitx5
# killed and started again, now with its tray item on a panel: the front application's rule
# reaches its new context, made well after the restart, and the rest as before. (fcitx5.sh VELMORA CLIENT FCITX5-CLIENT)
source "$(dirname "$0")/lib.sh" "$@"
IM_CLIENT=$(realpath "$3")

start_desktop
start_session_bus
LOG=$WORK/app.log
# seen_since MARK LINE: the client said a line that begins with LINE after the last that begins
# with MARK.
seen_since() {
    awk -v mark="$1" -v line="$2" 'index($0, mark) == 1 { m = 1; n = 0 }
        m && index($0, line) == 1 { n++ } END { exit !n }' "$LOG"
}
# activate_and_type I HANDLED: window I to the front; the key typed right after is taken by the
# input method (1) or left to the application (0). AppA's Pinyin never goes to AppB's context.
activate_and_type() {
    local class=App$(sed -n "$1p" <<<$'A\nB\nC')
    echo "activating $class" >>"$LOG"
    activate app "$1"
    wait_until "a key typed into $class" seen_since "activating $class" "key "
    [ "$(grep '^key ' "$LOG" | tail -n 1)" = "key $class $2" ] || fail "typed into $class: $(tail -n 1 "$LOG")"
    [ "$1" = 2 ] || ! seen_since "activating AppA" "im AppB pinyin" || fail "AppA's Pinyin went to AppB"
}

start_fcitx5 xcb
"$VELMORA" rule AppA fcitx5:pinyin
"$VELMORA" rule AppB xkb:us
! "$VELMORA" rule AppA fcitx5:pinjin 2>"$WORK/refused" || fail "a name Fcitx5 lacks was stored"
grep -q "did you mean fcitx5:pinyin?" "$WORK/refused" || fail "no suggestion: $(cat "$WORK/refused")"
[ "$("$VELMORA" sources)" = "$(printf 'fcitx5:keyboard-us\tKeyboard - English (US)\nfcitx5:pinyin\tPinyin')" ] ||
    fail "velmora sources listed: $("$VELMORA" sources)"

# The application with the windows AppA, AppB and AppC (no rule).
"$IM_CLIENT" 60 100 AppA AppB AppC >>"$LOG" 2>>"$WORK/client.log" &
PIDS+=($!)
wait_until "the client's windows" has_lines "$LOG" 3
sed -n 's/^window //p' "$LOG" >"$WORK/windows-app"
start_velmora
wait_until "velmora to take Fcitx5's input methods" velmora_says "input sources from Fcitx5"
# Warm-up: the agent's first activation waits for the screen, and Fcitx5 loads Pinyin when it is
# first selected; the next ones are at once. ("activating" lines: the test's own, in the log.)
activate app 2
wait_until "B's context focused" eval '[ "$(grep "^focus " "$LOG" | tail -n 1 | cut -d" " -f2)" = AppB ]'
activate app 1
wait_until "Pinyin current" fcitx5_im_is pinyin
wait_until "the key typed into A after the warm-up" seen_since "focus AppA " "key "
activate_and_type 2 0
# The user's own choice in B (once the agent's check 100 ms after its selection is over), then
# B again after A and C, whose new context has English: B's rule puts English back in B's
# context, though the context left had it.
sleep 1
fcitx5_controller SetCurrentIM string:pinyin
activate_and_type 1 1
activate_and_type 3 0
activate_and_type 2 0
activate_and_type 1 1

kill "$FCITX5_PID"
wait_until "velmora to go back to the layouts" velmora_says "Fcitx5 is gone"
# The new Fcitx5 shows its tray item on a panel, whose menu changes tell the agent of each focus.
"$VELMORA_FAKE_SERVICES" tray >"$WORK/tray" 2>>"$WORK/client.log" &
PIDS+=($!)
wait_until "the panel's tray" grep -qx ready "$WORK/tray"
start_fcitx5 xcb,classicui,notificationitem
wait_until "velmora to take the new Fcitx5's input methods" \
    eval '[ "$(grep -c "input sources from Fcitx5" "$WORK/velmora.log")" -ge 2 ]'
# The client makes its contexts anew on the new Fcitx5 only after the agent applied A's rule
# again for the new input sources: the rule waits for A's new context instead of being lost.
wait_until "Pinyin in A's new context" seen_since "contexts anew" "im AppA pinyin"
activate_and_type 2 0
activate_and_type 1 1
stop_velmora
