#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# While IBus runs its engines are the input sources: "velmora sources" lists the configured
# (preload) engines and --all every engine; activating a window selects its rule's engine as
# IBus's global engine (a rule for xkb:us selects IBus's English engine; one for xkb:de, an
# engine IBus has but the user did not configure, selects nothing, from IBus's start on); an
# engine chosen by hand stays until the next activation; IBus killed and started again while
# the agent runs is found again through its new address file. Needs ibus and ibus-libpinyin.
source "$(dirname "$0")/lib.sh" "$@"

start_desktop
start_session_bus
sources_are() { [ "$("$VELMORA" sources 2>>"$WORK/sources.log" | cut -f1 | tr '\n' ' ')" = "$1" ]; }

"$VELMORA" rule AppPinyin ibus:libpinyin
"$VELMORA" rule AppUs xkb:us
"$VELMORA" rule AppDe xkb:de
open_windows pinyin AppPinyin 1
open_windows de AppDe 1
open_windows us AppUs 1
# IBus starts after the agent, its folder of address files not there yet.
start_velmora
start_ibus "['xkb:us::eng', 'libpinyin']"
wait_until "IBus's engines as sources" sources_are "ibus:xkb:us::eng ibus:libpinyin "
"$VELMORA" rule AppUs xkb:us 2>"$WORK/rule.log"
grep -q "not among" "$WORK/rule.log" && fail "xkb:us said missing while IBus runs: $(<"$WORK/rule.log")"
[ "$("$VELMORA" sources --all | wc -l)" -gt 100 ] || fail "velmora sources --all listed few engines"
wait_until "the agent to take IBus's engines" velmora_says "input sources from IBus"
activate pinyin
wait_until "Pinyin for AppPinyin" engine_is libpinyin

# The global engines IBus goes through from here on.
gdbus monitor --address "$(ibus address)" -d org.freedesktop.IBus >"$WORK/engines" \
    2>>"$WORK/client.log" &
PIDS+=($!)
wait_until "the engine watch" grep -qs "is owned by" "$WORK/engines"
engines_reached() {
    local want=$1 seen
    seen=$(sed -n "s/.*GlobalEngineChanged ('\(.*\)',)\$/\1/p" "$WORK/engines" | tr '\n' ' ')
    [ "$seen" = "$want " ] && return 0
    case "$want " in "$seen"*) return 1 ;; esac
    echo "IBus went through [$seen], expected [$want]" >&2
    return 3
}
expect_engines() { wait_until "the engines [$*]" engines_reached "$*"; }
activate us
expect_engines xkb:us::eng
# Chosen by hand (any engine, also one not preloaded): it stays while AppUs stays in front.
# The user's choice comes once the agent's check 100 ms after its selection is over (it would
# take any other engine within that time for one a toolkit put back).
sleep 1
# As IBus's panel selects an engine the user picks.
gdbus call --address "$(ibus address)" -d org.freedesktop.IBus -o /org/freedesktop/IBus \
    -m org.freedesktop.IBus.SetGlobalEngine xkb:de::deu >/dev/null
expect_engines xkb:us::eng xkb:de::deu
activate pinyin
activate de
activate us
expect_engines xkb:us::eng xkb:de::deu libpinyin xkb:us::eng

# IBus ends, which the agent hears of, and starts again: the agent finds the new one through
# its new address file, applies the front application's rule through it (a new IBus has no
# engine set), and selects through it.
kill "$IBUS_PID"
wait "$IBUS_PID" 2>/dev/null || true
wait_until "the agent to let IBus go" velmora_says "IBus is gone"
start_ibus
wait_until "the rule applied through the new IBus" engine_is xkb:us::eng
activate pinyin
wait_until "Pinyin through the new IBus" engine_is libpinyin
stop_velmora
