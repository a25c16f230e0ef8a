#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Kills writers of the settings file with SIGKILL at random moments, KILLS times (default
# 1000), and after each kill (and each writer that ended before its moment) reads the file
# back: it must be whole, and every setting that a writer reported saved before the kill must be
# in it.
#
#   scripts/kill-writes.sh [KILLS [VELMORA E2E_CLIENT KILL_TOOL]]
#
# The programs come from $VELMORA_BUILD (default build/): programs/velmora/velmora,
# tests/e2e/velmora_e2e_client and tests/store/velmora_kill_writes_tool.
#
# Nine writers in ten are "velmora rule APP ID" processes, which exit 0 only once the rule is in
# the file. The tenth is the agent, running under Xvfb with openbox: two windows whose rules
# switch the layout make it count switches in "changedTimes" and write it a second later; the
# count it wrote is read from the file before the kill. Now and then a "velmora rule" runs
# beside the agent and must get its rule saved. Each kill lands a random number of microseconds
# after the writer's start, after a temporary file appears in the folder (the write, fsync and
# rename under way) or after a file is renamed into place (the folder's fsync).
#
# After each: "velmora rules" must read the file and libplist must parse it (else it is
# corrupt), every rule confirmed so far must be there, the count must not go back, no copy of a
# bad file may appear, and temporary files of killed writers are counted (the next write removes
# them). Prints the figures and fails when any of corrupt, lost, failed or left is not 0.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kills=${1:-1000}
build=${VELMORA_BUILD:-$top/build}
velmora=${2:-$build/programs/velmora/velmora}
client=${3:-$build/tests/e2e/velmora_e2e_client}
tool=$(realpath "${4:-$build/tests/store/velmora_kill_writes_tool}")
# shellcheck source=../tests/e2e/lib.sh
source "$top/tests/e2e/lib.sh" "$velmora" "$client"

folder=$(dirname "$SETTINGS")
mkdir -p "$folder"
declare -A confirmed=() # app -> layout ID that "velmora rule" reported saved
declare -A moments=()   # start, create, rename, late -> how many kills
checked=0 corrupt=0 lost=0 failed=0 killed=0 agent_kills=0 temporaries=0 kills_leaving=0 most_left=0
flushed_count=0 # the highest switch count seen in the file

complain() { echo "kill $1: $2" >&2; }

# The switch count in the file, 0 when there is none.
count_in_file() {
    local line
    line=$("$tool" check "$SETTINGS") || return 1
    line=${line#*changedTimes=}
    line=${line%% *}
    echo "${line:-0}"
}

# check_file KILL [APP ID]: the file after a kill. APP's rule may be the one being written
# when the writer was killed (ID) or the one confirmed before.
check_file() {
    local at=$1 app=${2:-} id=${3:-} rules line name value count copies
    checked=$((checked + 1))
    if ! "$tool" check "$SETTINGS" >"$WORK/check" || ! rules=$("$VELMORA" rules 2>"$WORK/rules-error"); then
        corrupt=$((corrupt + 1))
        complain "$at" "corrupt file: $(cat "$WORK/check" "$WORK/rules-error")"
        cp "$SETTINGS" "$WORK/corrupt-$at" 2>/dev/null || true
        return
    fi
    declare -A now=()
    while IFS=$'\t' read -r name value; do
        [ -n "$name" ] && now[$name]=$value
    done <<<"$rules"
    if [ -n "$app" ] && [ "${now[$app]:-}" = "$id" ]; then
        confirmed[$app]=$id # it got in before the kill: from now on it must stay
    fi
    for name in "${!confirmed[@]}"; do
        if [ "${now[$name]:-}" != "${confirmed[$name]}" ]; then
            lost=$((lost + 1))
            complain "$at" "rule $name is '${now[$name]:-}', saved was '${confirmed[$name]}'"
        fi
    done
    count=$(count_in_file)
    if [ "$count" -lt "$flushed_count" ]; then
        lost=$((lost + 1))
        complain "$at" "switch count $count, saved was $flushed_count"
    fi
    copies=$(find "$folder" -name '*.corrupt-*' | wc -l)
    if [ "$copies" -ne 0 ]; then
        corrupt=$((corrupt + copies))
        complain "$at" "$copies copies of a bad file"
        find "$folder" -name '*.corrupt-*' -delete
    fi
    temporaries=$(find "$folder" -name '.*.tmp-*' | wc -l)
    if [ "$temporaries" -gt 0 ]; then
        kills_leaving=$((kills_leaving + 1))
        [ "$temporaries" -le "$most_left" ] || most_left=$temporaries
    fi
}

random_moment() {
    case $((RANDOM % 3)) in
    0) echo "start $(((RANDOM * 32768 + RANDOM) % 80000))" ;;
    1) echo "create $((RANDOM % 3000))" ;;
    *) echo "rename $((RANDOM % 300))" ;;
    esac
}

# One "velmora rule" run that must succeed, for the rules confirmed.
rule_saved() {
    local app=$1 id=$2
    if DISPLAY= "$VELMORA" rule "$app" "$id" 2>>"$WORK/rule.log"; then
        echo "$app $id" >>"$WORK/confirmed-beside"
    else
        echo "$app $id failed" >>"$WORK/confirmed-beside"
    fi
}

kill_rule_writer() {
    local at=$1 app="App$((RANDOM % 8))" id="fcitx5:id$1" moment outcome
    read -r -a moment <<<"$(random_moment)"
    # No display: the rule's note about unknown layouts would ask it, after the write.
    outcome=$(DISPLAY= "$tool" run "${moment[@]}" "$folder" -- "$VELMORA" rule "$app" "$id" \
        2>>"$WORK/rule.log")
    case $outcome in
    "exited 0") confirmed[$app]=$id ;;
    killed*)
        killed=$((killed + 1))
        moments[${outcome#killed }]=$((${moments[${outcome#killed }]:-0} + 1))
        ;;
    *)
        failed=$((failed + 1))
        complain "$at" "velmora rule $app $id: $outcome"
        ;;
    esac
    check_file "$at" "$app" "$id"
}

# The agent, once the killed one's claim on the display is gone: until the X server has seen
# its connection close, a new agent finds it still running and ends.
start_agent() {
    local try
    for ((try = 0; try < 100; try++)); do
        : >"$WORK/velmora-out.log"
        "$VELMORA" >"$WORK/velmora-out.log" 2>>"$WORK/velmora.log" &
        VELMORA_PID=$!
        PIDS+=("$VELMORA_PID")
        while kill -0 "$VELMORA_PID" 2>/dev/null && ! velmora_says "running on display"; do
            sleep 0.02
        done
        velmora_says "running on display" && return 0
        grep -q "already running" "$WORK/velmora-out.log" || fail "the agent did not start"
        forget_agent "$VELMORA_PID"
        sleep 0.05
    done
    fail "the agent found another one running, again and again"
}

forget_agent() {
    local pid=$1 i
    for i in "${!PIDS[@]}"; do
        [ "${PIDS[i]}" = "$pid" ] && unset 'PIDS[i]'
    done
    PIDS=("${PIDS[@]}")
    { wait "$pid"; } 2>/dev/null || true # no "Killed" line from the shell
}

# The agent is killed while it writes its switch count; a "velmora rule" may run beside it.
next_window=a
kill_agent() {
    local at=$1 pid moment outcome beside= line
    : >"$WORK/velmora.log"
    "$CLIENT" lock 0 # neither window's layout: the activation below switches and counts
    start_agent
    pid=$VELMORA_PID
    # What the agent wrote before this kill, and the rules it must keep.
    flushed_count=$(count_in_file)
    activate "$next_window"
    next_window=$([ "$next_window" = a ] && echo b || echo a)
    read -r -a moment <<<"$(random_moment)"
    [ "${moment[0]}" = start ] && moment[1]=$(((RANDOM * 32768 + RANDOM) % 1500000))
    if [ $((RANDOM % 2)) -eq 0 ]; then
        : >"$WORK/confirmed-beside"
        rule_saved "Beside$((RANDOM % 4))" "fcitx5:beside$at" &
        beside=$!
    fi
    outcome=$("$tool" pid "$pid" "${moment[@]}" "$folder")
    VELMORA_PID=
    forget_agent "$pid"
    case $outcome in
    killed*)
        killed=$((killed + 1)) agent_kills=$((agent_kills + 1))
        moments[${outcome#killed }]=$((${moments[${outcome#killed }]:-0} + 1))
        ;;
    *)
        failed=$((failed + 1))
        complain "$at" "the agent was not killed: $outcome"
        ;;
    esac
    if [ -n "$beside" ]; then
        wait "$beside"
        read -r line <"$WORK/confirmed-beside"
        case $line in
        *failed)
            failed=$((failed + 1))
            complain "$at" "velmora rule beside the agent: $line"
            ;;
        *) confirmed[${line% *}]=${line#* } ;;
        esac
    fi
    check_file "$at"
    flushed_count=$(count_in_file)
    if grep -q "settings file\|could not save" "$WORK/velmora.log"; then
        failed=$((failed + 1))
        complain "$at" "the agent said: $(cat "$WORK/velmora.log")"
    fi
}

start_desktop
"$VELMORA" rule AppA xkb:de
"$VELMORA" rule AppB xkb:ru
confirmed[AppA]=xkb:de
confirmed[AppB]=xkb:ru
open_windows a AppA 1
open_windows b AppB 1
started=$SECONDS
# Until KILLS writers were killed: a writer may end before its moment comes.
for ((i = 1; killed < kills && i <= 3 * kills; i++)); do
    if [ $((i % 10)) -eq 0 ]; then
        kill_agent "$i"
    else
        kill_rule_writer "$i"
    fi
done
left=$temporaries
# The next write removes what killed writers left behind.
"$VELMORA" rule AppA xkb:de
temporaries=$(find "$folder" -name '.*.tmp-*' | wc -l)

echo "kills: $killed ($agent_kills of the agent) in $((i - 1)) runs of a writer, $((SECONDS - started)) s"
echo "kills after: the start ${moments[start]:-0}, a temporary file appearing ${moments[create]:-0}," \
    "a rename ${moments[rename]:-0}; no write within 10 s ${moments[late]:-0}"
echo "files checked: $checked; corrupt: $corrupt; settings lost: $lost; writers failed: $failed"
echo "temporary files of killed writers: seen after $kills_leaving kills, at most $most_left at once;" \
    "$left after the last kill, $temporaries after one more write"
echo "rules confirmed: ${#confirmed[@]}; switch count in the file: $(count_in_file)"
[ "$killed" -ge "$kills" ] || fail "only $killed kills"
[ "$corrupt" -eq 0 ] && [ "$lost" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$temporaries" -eq 0 ] ||
    fail "the settings file lost or broke settings"
