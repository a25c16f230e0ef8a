#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Another program rewrites the settings file 100 times a second (in place, slowly, and by
# swapping in new files, by turns) while the agent runs and switches layouts. The agent must
# keep running, keep its own switch count, keep every key of the other program, never write a
# corrupt file and never take a version that the other program is half way through writing for
# a bad one (no copy set aside, nothing said).
#   agent_beside_rewriter.sh VELMORA E2E_CLIENT KILL_TOOL
source "$(dirname "$0")/../e2e/lib.sh" "$1" "$2"
TOOL=$(realpath "$3")
VERSIONS=600 # one every 10 ms

# file_holds COUNT OTHERS: the file is whole, with a switch count of at least COUNT and the
# other program's keys other0 ... other<OTHERS-1>.
file_holds() {
    local line count
    line=$("$TOOL" check "$SETTINGS") || {
        echo "corrupt settings file: $line" >&2
        return 3
    }
    count=${line#*changedTimes=}
    count=${count%% *}
    [ "${count:-0}" -ge "$1" ] && [ "${line##*others=}" -ge "$2" ]
}

nothing_judged_bad() {
    [ -z "$(find "$(dirname "$SETTINGS")" -name '*.corrupt-*')" ] ||
        fail "a version of the file was set aside: $(ls -a "$(dirname "$SETTINGS")")"
    ! grep -q "settings file\|could not save" "$WORK/velmora.log" ||
        fail "the agent complained: $(cat "$WORK/velmora.log")"
    expect_rules 'AppA\txkb:de\nAppB\txkb:ru'
}

start_desktop
"$VELMORA" rule AppA xkb:de
"$VELMORA" rule AppB xkb:ru
open_windows a AppA 1
open_windows b AppB 1
start_group_watch
start_velmora

"$TOOL" rewrite "$SETTINGS" "$VERSIONS" >"$WORK/rewrite.out" 2>"$WORK/rewrite.log" &
rewriter=$!
PIDS+=("$rewriter")
# Twelve switches while the other program writes: each is counted, and written a second later.
groups=""
for round in 1 2 3 4 5 6; do
    activate a
    groups+=" 1"
    expect_groups $groups
    activate b
    groups+=" 2"
    expect_groups $groups
done
status=0
wait "$rewriter" || status=$?
[ "$status" -eq 0 ] || fail "the other program: $(cat "$WORK/rewrite.out" "$WORK/rewrite.log")"
grep -qx "wrote $VERSIONS" "$WORK/rewrite.out" || fail "the other program: $(cat "$WORK/rewrite.out")"

# One more switch after its last version: the agent's write keeps all of its keys.
activate a
expect_groups $groups 1
wait_until "the switch count and the other program's keys in the file" file_holds 13 "$VERSIONS"
nothing_judged_bad
stop_velmora
file_holds 13 "$VERSIONS" || fail "the agent lost settings on the way out: $(cat "$SETTINGS")"
nothing_judged_bad
[ -z "$(find "$(dirname "$SETTINGS")" -name '.*.tmp-*' -o -name '*.other')" ] ||
    fail "files left behind: $(ls -a "$(dirname "$SETTINGS")")"
