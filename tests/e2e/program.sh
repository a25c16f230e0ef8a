#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The velmora program around the agent: version and help, rule commands with and without a display,
# a bad settings file, a missing or unreachable display, the ending signals (also
# during a background check), and the display going away under it.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/popover_lib.sh"

# run_velmora ARGS...: runs velmora to its end (124 when it does not end in time); its status
# in STATUS, its output in OUT and ERR.
run_velmora() {
    STATUS=0
    timeout "$DEADLINE" "$VELMORA" "$@" >"$WORK/out" 2>"$WORK/err" || STATUS=$?
    OUT=$(cat "$WORK/out")
    ERR=$(cat "$WORK/err")
}

expect_status() { [ "$STATUS" -eq "$1" ] || fail "$2: status $STATUS (wanted $1), said: $ERR"; }
# expect_run STATUS WHAT ARGS...: run_velmora ARGS, which must end with STATUS.
expect_run() {
    run_velmora "${@:3}"
    expect_status "$1" "$2"
}

# Rules, with no display at all.
QT_QPA_PLATFORM=no-such-platform expect_run 0 "rules on a fresh settings file" rules
[ -z "$OUT" ] || fail "a fresh settings file lists rules: $OUT"
run_velmora rule org.example.Editor xkb:de
run_velmora rule XTerm "xkb:de(nodeadkeys)"
run_velmora rule XTerm -
run_velmora rules
[ "$OUT" = "$(printf 'XTerm\t-\norg.example.Editor\txkb:de')" ] || fail "rules after editing: $OUT"
# An ID that can never be selected is refused, with the closest one; nothing is stored.
expect_run 1 "rule with an ID of no known form" rule Term de
grep -qx 'velmora: did you mean xkb:de? .*' <<<"$ERR" || fail "no xkb:de suggested for de: $ERR"
run_velmora rules
grep -q '^Term' <<<"$OUT" && fail "a refused rule was stored: $OUT"
expect_run 2 "an unknown command" frobnicate
[ -n "$ERR" ] && ! grep -qv '^velmora: ' <<<"$ERR" || fail "not velmora's words: $ERR"
run_velmora --version
grep -qxE 'velmora [0-9]+\.[0-9]+\.[0-9]+' <<<"$OUT" || fail "--version says: $OUT"
version=$OUT
expect_run 0 "--help" --help
head -n 1 <<<"$OUT" | grep -qF "$version " || fail "--help does not show $version"
for word in sources apps rules "rule APP SOURCE-ID" "rule APP -" --autostart; do
    grep -qF "velmora $word" <<<"$OUT" || fail "--help does not describe \"$word\""
done

# The commands that only look never change a bad settings file: they say why and end with
# status 1, printing nothing.
cp "$SETTINGS" "$WORK/good-settings"
head -c "$(($(wc -c <"$SETTINGS") / 2))" "$WORK/good-settings" >"$WORK/truncated-settings"
cp "$WORK/truncated-settings" "$SETTINGS"
expect_refused() {
    expect_run 1 "$1 with a truncated settings file" "$1"
    [ -z "$OUT" ] || fail "$1 printed with a truncated settings file: $OUT"
    grep "^velmora: .* (.*)" <<<"$ERR" | grep -qF "$SETTINGS" || fail "$1 did not say why: $ERR"
    cmp -s "$SETTINGS" "$WORK/truncated-settings" || fail "$1 changed the settings file"
    if ls "$SETTINGS".corrupt-* >/dev/null 2>&1; then fail "$1 moved the settings file aside"; fi
}
expect_refused rules
# ... and where the file goes wrong, as an editor counts.
grep -qE 'line [0-9]+, column [0-9]+: premature end of document' <<<"$ERR" ||
    fail "rules did not say where the file breaks off: $ERR"
cp "$WORK/good-settings" "$SETTINGS"

# No display, or one that cannot be reached.
expect_run 2 "the agent without DISPLAY"
grep -q "DISPLAY" <<<"$ERR" || fail "no reason given for a missing DISPLAY: $ERR"
expect_run 2 "sources without DISPLAY" sources
DISPLAY=:65000 expect_run 2 "the agent on an unreachable display"
grep -q ":65000" <<<"$ERR" || fail "the unreachable display is not named: $ERR"

start_desktop
# The commands talk to the display themselves: a Qt platform that cannot load, which would
# abort any Qt GUI application, changes nothing.
keymap=$(printf 'xkb:us	English (US)
xkb:de	German
xkb:ru	Russian')
QT_QPA_PLATFORM=no-such-platform expect_run 0 "sources" sources
[ "$OUT" = "$keymap" ] || fail "unexpected sources: $OUT"
# --all: the keymap's layouts, then every other layout XKB knows.
expect_run 0 "sources --all" sources --all
[ "$(head -n 3 <<<"$OUT")" = "$keymap" ] && grep -q "^xkb:fr	French$" <<<"$OUT" &&
    [ "$(grep -c '^xkb:de	' <<<"$OUT")" = 1 ] || fail "unexpected sources --all: $(head <<<"$OUT")"
QT_QPA_PLATFORM=no-such-platform expect_run 0 "apps without a Qt platform" apps
# An application neither installed nor running is stored, with a word naming the running one
# it differs from only in case.
open_windows mail MailApp 1
expect_run 0 "rule for an application never seen" rule mailapp "xkb:de(nodeadkeys)"
grep -qF 'did you mean "MailApp"?' <<<"$ERR" || fail "no word on mailapp and MailApp: $ERR"
run_velmora rule MailApp xkb:de
[ -z "$ERR" ] || fail "a rule for a running application and a layout of the keymap said: $ERR"
cp "$WORK/truncated-settings" "$SETTINGS"
expect_refused sources
expect_refused apps
# A command that writes sets the bad file aside, says so, and starts from nothing.
expect_run 0 "rule with a truncated settings file" rule AppDe xkb:de
grep -qF "moved it to $SETTINGS.corrupt-" <<<"$ERR" || fail "no word on the bad file: $ERR"
cmp -s "$SETTINGS".corrupt-* "$WORK/truncated-settings" || fail "the bad file was not kept as it was"
run_velmora rules
[ "$OUT" = "$(printf 'AppDe\txkb:de')" ] || fail "rules after the bad file: $OUT"

# SIGTERM and SIGINT end the agent with status 0, saving what is pending (the switch counter is
# otherwise written a moment later). (One agent per display: popover.sh.)
"$VELMORA" rule AppA xkb:de
open_apps a:AppA other:Other
start_group_watch
start_velmora
activate a
expect_groups 1
stop_velmora
[ "$(saved_switch_count)" = 1 ] || fail "the switch counter was not saved at SIGTERM"
start_velmora
kill -INT "$VELMORA_PID"
wait_for_velmora_exit
STATUS=$VELMORA_STATUS
expect_status 0 "SIGINT"

# A bad settings file that the agent moves aside is said where a user sees it: through the
# desktop's notification service (faked on a private session bus), or without one beside the
# popover, which opens at start here (no tray).
cat >"$WORK/bus.conf" <<EOF
<busconfig><type>session</type><listen>unix:dir=$WORK</listen>
<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/>
<allow own="*"/></policy></busconfig>
EOF
start_session_bus --config-file="$WORK/bus.conf"
"$VELMORA_FAKE_SERVICES" notifications >"$WORK/notifications" 2>>"$WORK/client.log" &
notifier=$!
PIDS+=("$notifier")
wait_until "the notification service" grep -qx ready "$WORK/notifications"
notice_shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
said_where='line [0-9]+, column [0-9]+: premature end of document.*moved it to'
cp "$WORK/truncated-settings" "$SETTINGS"
start_velmora
wait_until "a notification" grep -q '^Notify' "$WORK/notifications"
grep -qE "^Notify	.*$said_where $SETTINGS.corrupt-" "$WORK/notifications" ||
    fail "the notification does not say what happened: $(cat "$WORK/notifications")"
# The notice would come with the settings (in a window: no tray here).
wait_until "the settings at start" settings_window
notice_shown "$said_where" && fail "a notification was sent and the popover says it too"
stop_velmora
kill "$notifier"
cp "$WORK/truncated-settings" "$SETTINGS"
start_velmora
wait_until "the notice beside the popover" notice_shown "$said_where"
stop_velmora
export DBUS_SESSION_BUS_ADDRESS=disabled:

# SIGTERM while an address-bar check is still running on the global queue: a click in a
# window of the browser whose check waits up to 0.2 s for the text cursor (which never shows
# here). The agent waits for the check before it takes itself apart, and the check says how
# it ended ("0": no text cursor) before the agent exits with status 0.
switch_on enableBrowserAddressEnglish
open_windows browser com.apple.Safari 1
activate browser
start_velmora
xdotool mousemove --sync --window "$(window browser)" 100 100 click 1
sleep 0.1
stop_velmora
grep -qx "velmora: 0" "$WORK/velmora.log" || fail "the address-bar check did not end before the agent"

# The display goes away: a clear message and a status that is not 0.
start_velmora
kill "$XVFB_PID"
wait_for_velmora_exit
STATUS=$VELMORA_STATUS
[ "$STATUS" -ne 0 ] || fail "losing the display ended velmora with status 0"
# Our own message, or Qt's when its connection heard of the loss first.
grep -qE "lost the connection to the X display|X11 connection broke" "$WORK/velmora.log" ||
    fail "losing the display gave no clear message: $(cat "$WORK/velmora.log")"
