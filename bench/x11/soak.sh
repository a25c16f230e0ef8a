#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Soak test of the real agent on X11, in one Xvfb session with openbox:
#   bench/x11/soak.sh BUILD-DIR [ACTIVATIONS] [KEYMAP-CHANGES]      (10000 and 1000 by default)
# ACTIVATIONS activations between windows of applications whose rules name different layouts,
# some closer together than the agent's 100 ms wait and some further apart, with KEYMAP-CHANGES
# new keymaps (other layout lists) spread among them. Then it prints its figures and exits 1
# when a limit is broken:
#   - resident memory grew by VELMORA_SOAK_RSS_LIMIT_KB (1024) or more from the warm-up (the
#     first 10% of the activations) to the end; "off" reports it without judging;
#   - more open file descriptors, X connections or X resources of any kind than after the
#     warm-up;
#   - any wake-up over VELMORA_SOAK_IDLE_SECONDS (30) idle afterwards; 0 skips the idle part;
#   - the agent ended, or an activation no longer selects its rule's layout.
# Memory, descriptors and X resources are sampled in the same state each time (keymap us,de,ru,
# the window without a rule active, the agent's wait over), after a check that switching works.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$1" && pwd)
ACTIVATIONS=${2:-10000}
KEYMAP_CHANGES=${3:-1000}
RSS_LIMIT_KB=${VELMORA_SOAK_RSS_LIMIT_KB:-1024}
IDLE_SECONDS=${VELMORA_SOAK_IDLE_SECONDS:-30}
[[ "$ACTIVATIONS" =~ ^[1-9][0-9]+$ && "$KEYMAP_CHANGES" =~ ^[0-9]+$ ]] ||
    { echo "usage: soak.sh BUILD-DIR [ACTIVATIONS (10 or more)] [KEYMAP-CHANGES]" >&2; exit 2; }
find_binary() {
    local found
    found=$(find "$BUILD" -name "$1" -type f -perm -u+x | head -n 1)
    [ -n "$found" ] || { echo "soak.sh: $1 is not built in $BUILD" >&2; exit 2; }
    echo "$found"
}
source "$HERE/../../tests/e2e/lib.sh" "$(find_binary velmora)" "$(find_binary velmora_e2e_client)"
source "$HERE/agent_stats.sh"

# Each list has de and ru, in different places; fr comes and goes, so SoakC's rule finds its
# layout in some keymaps and not in others.
BASE_LAYOUTS=us,de,ru
LAYOUT_LISTS=(ru,de de,us,ru,fr fr,ru,de us,ru,de de,ru,us,fr us,de,ru)
# Seconds after an activation before the next: most shorter than the agent's wait, some longer.
PAUSES=(0 0 0.02 0.05 0.08 0.12 0.15 0.25)
SHORT_PAUSES=5 # the first five are shorter
RANDOM=${VELMORA_SOAK_SEED:-1} # the same sequence every run
FAILURES=()
broken() { FAILURES+=("$*"); echo "LIMIT BROKEN: $*" >&2; }

start_desktop
# Hotkeys too, as their grabs are made again for every new keymap: Ctrl+Alt+K (the K position)
# selects ru, Ctrl+Shift+F1 de. The rule commands keep what is there.
K=$(keycode_of AC08)
F1=$(keycode_of FK01)
[ -n "$K" ] && [ -n "$F1" ] || fail "no key codes for AC08 and FK01"
store_shortcuts xkb:ru 40 786432 xkb:de 122 393216
"$VELMORA" rule SoakA xkb:de
"$VELMORA" rule SoakB xkb:ru
"$VELMORA" rule SoakC xkb:fr
open_windows a SoakA 2
open_windows b SoakB 1
open_windows c SoakC 1
open_windows other Other 1
WINDOWS=("$(window a 1)" "$(window a 2)" "$(window b)" "$(window c)" "$(window other)")
CURRENT_LAYOUTS=$BASE_LAYOUTS
start_velmora
started=$SECONDS

# The group of LAYOUT in the comma-separated LIST, empty when it is not there.
group_of() { tr ',' '\n' <<<"$2" | grep -nx "$1" | cut -d: -f1 | awk '{ print $1 - 1 }'; }

# A window of SoakA comes to the front after the group was set to another one with Other in
# front: the agent must select de in the current keymap, and keep it.
check_switching() {
    local want count
    want=$(group_of de "$CURRENT_LAYOUTS")
    count=$(tr ',' '\n' <<<"$CURRENT_LAYOUTS" | wc -l)
    activate_id "$(window other)"
    "$CLIENT" lock $(((want + 1) % count))
    group_is $(((want + 1) % count)) || fail "the group could not be locked"
    activate_id "$(window a 1)"
    wait_until "SoakA's rule to select de (group $want of $CURRENT_LAYOUTS)" group_is "$want"
    sleep 0.3
    group_is "$want" || fail "the group left de (group $want of $CURRENT_LAYOUTS) after SoakA's switch"
}

# The hotkey for ru, held until the agent selected ru in the current keymap. xdotool locks
# group 0 around each key event it sends and restores the group it found after the release,
# so the group is read while the keys are down.
check_hotkey() {
    local want
    want=$(group_of ru "$CURRENT_LAYOUTS")
    "$CLIENT" lock $(((want + 1) % $(tr ',' '\n' <<<"$CURRENT_LAYOUTS" | wc -l)))
    xdotool keydown "ctrl+alt+$K"
    wait_until "Ctrl+Alt+K to select ru (group $want of $CURRENT_LAYOUTS)" group_is "$want"
    xdotool keyup "ctrl+alt+$K"
}

# sample LABEL: memory, descriptors and X resources in the same state each time.
declare -A RSS PSS FDS
sample() {
    setxkbmap -layout "$BASE_LAYOUTS"
    CURRENT_LAYOUTS=$BASE_LAYOUTS
    check_switching
    activate_id "$(window other)"
    sleep 0.5
    local pid=$VELMORA_PID
    RSS[$1]=$(awk '/^VmRSS:/ { print $2 }' /proc/"$pid"/status)
    PSS[$1]=$(awk '/^Pss:/ { print $2 }' /proc/"$pid"/smaps_rollup 2>/dev/null || echo -)
    ls -l /proc/"$pid"/fd | tail -n +2 | sed 's/.* \([0-9]* -> .*\)/\1/' >"$WORK/fds-$1"
    FDS[$1]=$(wc -l <"$WORK/fds-$1")
    "$CLIENT" x-resources "$pid" >"$WORK/xres-$1" || fail "no X resources found for velmora"
    printf '%-8s %8s kB RSS %8s kB PSS %4s fds  %s\n' "$1" "${RSS[$1]}" "${PSS[$1]}" "${FDS[$1]}" \
        "$(tr '\t\n' ': ' <"$WORK/xres-$1")"
}

xres_count() { awk -F'\t' -v type="$2" '$1 == type { print $2; found = 1 } END { if (!found) print 0 }' "$WORK/xres-$1"; }

begin=$SECONDS
sample start
warm_up_at=$(((ACTIVATIONS + 9) / 10))
next_sample=$warm_up_at
keymaps_done=0
fast=0
slow=0
hotkeys=0
last=-1
for ((i = 1; i <= ACTIVATIONS; i++)); do
    # The next window, never the one in front (that would be no activation).
    next=$((RANDOM % ${#WINDOWS[@]}))
    [ "$next" -eq "$last" ] && next=$(((next + 1) % ${#WINDOWS[@]}))
    last=$next
    activate_id "${WINDOWS[next]}"
    p=$((RANDOM % ${#PAUSES[@]}))
    if [ "$p" -lt "$SHORT_PAUSES" ]; then fast=$((fast + 1)); else slow=$((slow + 1)); fi
    [ "${PAUSES[p]}" = 0 ] || sleep "${PAUSES[p]}"
    # Now and then a hotkey instead of waiting for the rule.
    if [ $((RANDOM % 20)) -eq 0 ]; then
        xdotool key "$([ $((RANDOM % 2)) -eq 0 ] && echo "ctrl+alt+$K" || echo "ctrl+shift+$F1")"
        hotkeys=$((hotkeys + 1))
    fi
    # Keymap changes spread evenly over the activations.
    while [ "$keymaps_done" -lt $((i * KEYMAP_CHANGES / ACTIVATIONS)) ]; do
        CURRENT_LAYOUTS=${LAYOUT_LISTS[keymaps_done % ${#LAYOUT_LISTS[@]}]}
        setxkbmap -layout "$CURRENT_LAYOUTS"
        keymaps_done=$((keymaps_done + 1))
    done
    if [ "$i" -eq "$next_sample" ]; then
        kill -0 "$VELMORA_PID" 2>/dev/null || fail "velmora ended after $i activations"
        check_switching
        label=$([ "$i" -eq "$warm_up_at" ] && echo warm-up || echo "$((i * 100 / ACTIVATIONS))%")
        [ "$i" -eq "$ACTIVATIONS" ] && label=end
        echo "after $i activations, $keymaps_done keymap changes, $((SECONDS - begin)) s:"
        sample "$label"
        next_sample=$((next_sample + warm_up_at))
        [ "$next_sample" -gt "$ACTIVATIONS" ] && next_sample=$ACTIVATIONS
    fi
done
wall=$((SECONDS - begin))

# Idle: nothing happens on the desktop; the agent must not wake at all.
wakeups=-
cpu=-
if [ "$IDLE_SECONDS" -gt 0 ]; then
    activate_id "$(window other)"
    sleep 2
    # Qt's raster painting spreads its work over Qt's global thread pool (the settings window is
    # painted at start when there is no tray), whose threads end 30 s after their last job, a
    # wake-up each: a short run waits for that before the idle time.
    [ $((SECONDS - started)) -ge 35 ] || sleep $((35 - (SECONDS - started)))
    measure_idle "$VELMORA_PID" "$IDLE_SECONDS"
    wakeups=$IDLE_WAKEUPS
    cpu=$(echo "scale=3; $IDLE_TICKS / $(getconf CLK_TCK)" | bc)
    [ "$wakeups" -eq 0 ] ||
        broken "$wakeups wake-ups over $IDLE_SECONDS s idle ($IDLE_THREADS_ENDED threads ended)"
fi

# Still alive and still switching, with a keymap it has not had before this point.
kill -0 "$VELMORA_PID" 2>/dev/null || fail "velmora ended during the idle time"
CURRENT_LAYOUTS=ru,us,de
setxkbmap -layout "$CURRENT_LAYOUTS"
check_switching
check_hotkey
switching=yes

growth=$((RSS[end] - RSS[warm-up]))
echo
echo "== soak figures"
printf '%-34s %s\n' "activations" "$ACTIVATIONS ($fast less than 100 ms apart, $slow more)"
printf '%-34s %s\n' "hotkey presses among them" "$hotkeys"
printf '%-34s %s\n' "keymap changes" "$keymaps_done (${#LAYOUT_LISTS[@]} layout lists in turn)"
printf '%-34s %s\n' "wall time" "$wall s"
printf '%-34s %s\n' "RSS start / warm-up / end" "${RSS[start]} / ${RSS[warm-up]} / ${RSS[end]} kB"
printf '%-34s %s\n' "RSS growth after warm-up" "$growth kB (limit: below $RSS_LIMIT_KB kB)"
printf '%-34s %s\n' "PSS start / warm-up / end" "${PSS[start]} / ${PSS[warm-up]} / ${PSS[end]} kB"
printf '%-34s %s\n' "file descriptors start / warm-up / end" "${FDS[start]} / ${FDS[warm-up]} / ${FDS[end]}"
while IFS= read -r type; do
    printf '%-34s %s\n' "X $type start / warm-up / end" \
        "$(xres_count start "$type") / $(xres_count warm-up "$type") / $(xres_count end "$type")"
    [ "$(xres_count end "$type")" -le "$(xres_count warm-up "$type")" ] ||
        broken "X $type grew from $(xres_count warm-up "$type") to $(xres_count end "$type")"
done < <(cut -f1 "$WORK/xres-start" "$WORK/xres-warm-up" "$WORK/xres-end" | sort -u)
printf '%-34s %s\n' "idle wake-ups over $IDLE_SECONDS s" "$wakeups (CPU $cpu s)"
printf '%-34s %s\n' "still switching at the end" "$switching (an activation and a hotkey)"

if [ "$RSS_LIMIT_KB" != off ] && [ "$growth" -ge "$RSS_LIMIT_KB" ]; then
    broken "RSS grew by $growth kB after the warm-up"
fi
if [ "${FDS[end]}" -gt "${FDS[warm-up]}" ]; then
    broken "open file descriptors grew from ${FDS[warm-up]} to ${FDS[end]}:" \
        "$(diff "$WORK/fds-warm-up" "$WORK/fds-end" | grep '^>' | tr '\n' ' ')"
fi
stop_velmora
[ ${#FAILURES[@]} -eq 0 ] || fail "${#FAILURES[@]} limit(s) broken"
echo "all limits kept"
