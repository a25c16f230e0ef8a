# SPDX-License-Identifier: MIT
# The desktop of the end-to-end tests (source lib.sh VELMORA E2E_CLIENT): its own Xvfb, home,
# settings and data folders; cleans up by process id. Waits poll and never judge durations.

set -euo pipefail

# GNOME Shell (the test set E2E_PRIVATE_RUN) looks for the machine's seats in /run/systemd and
# for logind on the system bus, and ends when it finds them: the test runs in a mount namespace
# of its own where both folders are empty and a system bus of its own answers. As root it is
# made before the unprivileged re-run below; otherwise the test is root of a user namespace.
SYSTEM_BUS_PID=
if [ -n "${E2E_PRIVATE_RUN:-}" ] && [ -z "${E2E_NAMESPACE:-}" ]; then
    namespace=(unshare --mount --propagation private)
    [ "$(id -u)" -eq 0 ] && export E2E_NAMESPACE=root ||
        { export E2E_NAMESPACE=user && namespace+=(--map-root-user); }
    "${namespace[@]}" true 2>/dev/null || exit 77
    exec "${namespace[@]}" bash "$0" "$@"
fi
if [ -n "${E2E_NAMESPACE:-}" ] && [ "$(id -u)" -eq 0 ]; then
    [ -d /run/systemd ] && mount -t tmpfs tmpfs /run/systemd
    mkdir -p /run/dbus && mount -t tmpfs tmpfs /run/dbus
    printf '%s' '<busconfig><type>system</type><auth>EXTERNAL</auth>
        <listen>unix:path=/run/dbus/system_bus_socket</listen><policy context="default">
        <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
        <allow own="*"/><allow user="*"/></policy></busconfig>' >/run/dbus/system.conf
    dbus-daemon --config-file=/run/dbus/system.conf --nofork 2>/dev/null &
    SYSTEM_BUS_PID=$!
    while [ ! -S /run/dbus/system_bus_socket ] && kill -0 "$SYSTEM_BUS_PID" 2>/dev/null; do
        sleep 0.05
    done
    # Another system's GNOME Shell (tests/gnome/next_shell.sh) runs in its root, which sees the
    # machine's devices, this namespace's system bus and the temporary folder, so that the
    # test's files, session bus and Wayland socket have the same paths on both sides.
    if [ -n "${VELMORA_GNOME_ROOT:-}" ]; then
        for folder in proc sys dev "${TMPDIR:-/tmp}"; do
            mkdir -p "$VELMORA_GNOME_ROOT/$folder"
            mount --rbind "/$folder" "$VELMORA_GNOME_ROOT/$folder"
        done
        mount -t tmpfs tmpfs "$VELMORA_GNOME_ROOT/run"
        mkdir "$VELMORA_GNOME_ROOT/run/dbus"
        mount --bind /run/dbus "$VELMORA_GNOME_ROOT/run/dbus"
    fi
fi

# A compositor that refuses root (sway) or runs as a user (KWin): as root (CI) the test runs
# again as an unprivileged user of its own, when it set E2E_UNPRIVILEGED. 77 (skipped) when
# that cannot be done.
if [ -n "${E2E_UNPRIVILEGED:-}" ] && [ "$(id -u)" -eq 0 ] && [ "${E2E_NAMESPACE:-}" != user ]; then
    command -v setpriv >/dev/null || exit 77
    id velmora-e2e >/dev/null 2>&1 ||
        useradd --system --no-create-home --shell /usr/sbin/nologin velmora-e2e || exit 77
    # The checkout and the build may sit where that user cannot read (root's home): the scripts
    # and the programs they run are copied to a folder of their own first.
    stage=$(mktemp -d /tmp/velmora-e2e-stage.XXXXXX)
    cp -r "$(dirname "$0")/." "$stage/"
    staged=()
    for arg in "$@"; do
        if [ -f "$arg" ] && [ -x "$arg" ]; then
            cp "$arg" "$stage/" && staged+=("$stage/$(basename "$arg")")
        else
            staged+=("$arg")
        fi
    done
    for helper in VELMORA_WAYLAND_WINDOW VELMORA_FAKE_SERVICES VELMORA_GNOME_EXTENSIONS \
        VELMORA_BENCH_PROGRAM; do
        [ -n "${!helper:-}" ] || continue
        cp -r "${!helper}" "$stage/"
        export "$helper=$stage/$(basename "${!helper}")"
    done
    chmod -R a+rX "$stage"
    status=0
    cd "$stage"
    setpriv --reuid=velmora-e2e --regid=velmora-e2e --clear-groups \
        env TMPDIR=/tmp bash "$stage/$(basename "$0")" "${staged[@]}" || status=$?
    rm -rf "$stage"
    [ -z "$SYSTEM_BUS_PID" ] || kill "$SYSTEM_BUS_PID"
    exit "$status"
fi

VELMORA=$(realpath "$1")
CLIENT=$(realpath "$2")
DEADLINE=${VELMORA_E2E_DEADLINE:-60} # seconds for any one wait; sanitizer builds are slow
WORK=$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e.XXXXXX")
PIDS=(${SYSTEM_BUS_PID:+"$SYSTEM_BUS_PID"})
VELMORA_PID=
XVFB_PID=
MOUNTED= # a file system the script mounted, unmounted at the end

cleanup() {
    local status=$?
    local i
    # Last started first, each gone before the next: velmora before the display it runs on.
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        stop_pid "${PIDS[i]}"
    done
    [ -z "$MOUNTED" ] || umount -l "$MOUNTED"
    if [ "$status" -ne 0 ]; then
        local log
        for log in "$WORK"/*.log; do
            [ -s "$log" ] && { echo "--- $(basename "$log")"; cat "$log"; }
        done
        [ -f "$WORK/groups" ] && { echo "--- groups seen"; tr '\n' ' ' <"$WORK/groups"; echo; }
        [ -f "${SETTINGS:-}" ] && { echo "--- settings file"; cat "$SETTINGS"; }
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

stop_pid() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# wait_until DESCRIPTION COMMAND...: runs COMMAND until it succeeds. COMMAND may exit 3 to
# say that waiting longer cannot help (not 2: grep says that for a file not there yet).
wait_until() {
    local what=$1
    shift
    local end=$((SECONDS + DEADLINE))
    local status
    while true; do
        status=0
        "$@" || status=$?
        [ "$status" -eq 0 ] && return 0
        [ "$status" -eq 3 ] && fail "$what"
        [ "$SECONDS" -ge "$end" ] && fail "timed out waiting for $what"
        if [ -n "$VELMORA_PID" ] && ! kill -0 "$VELMORA_PID" 2>/dev/null; then
            fail "velmora ended while waiting for $what"
        fi
        sleep 0.05
    done
}

# A private world: nothing of the machine's user or desktop leaks in.
mkdir -p "$WORK/home" "$WORK/config" "$WORK/data/applications" "$WORK/data-dirs" "$WORK/runtime"
chmod 700 "$WORK/runtime"
export HOME="$WORK/home"
export XDG_CONFIG_HOME="$WORK/config"
export XDG_DATA_HOME="$WORK/data"
export XDG_DATA_DIRS="$WORK/data-dirs"
export XDG_RUNTIME_DIR="$WORK/runtime"
export DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_QPA_PLATFORM=xcb
export LC_ALL=C.UTF-8
unset DISPLAY LANG LC_MESSAGES
SETTINGS="$XDG_CONFIG_HOME/velmora/com.quorvant.Quorvant-Velmora.plist"

# display_number_written [FILE]: an Xvfb wrote its display number to FILE ($WORK/display).
display_number_written() { grep -qx '[0-9][0-9]*' "${1:-$WORK/display}" 2>/dev/null; }

start_display() {
    Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset \
        5>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    PIDS+=("$XVFB_PID")
    wait_until "Xvfb to start" display_number_written
    export DISPLAY=":$(cat "$WORK/display")"
    setxkbmap -layout us,de,ru
}

window_manager_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# A window mapped while openbox is still starting can slip past it unmanaged, even after it
# announced itself: only a window that it did manage shows that it is ready.
window_manager_manages() {
    # Emptied here, not by the probe's redirection: an earlier probe's line must not count (the
    # probe would be killed before it started, running this script's traps as it goes).
    : >"$WORK/probe"
    "$CLIENT" windows Probe 1 >"$WORK/probe" 2>>"$WORK/client.log" &
    local probe=$! end=$((SECONDS + 3))
    while [ ! -s "$WORK/probe" ] && [ "$SECONDS" -lt "$end" ]; do
        sleep 0.05
    done
    stop_pid "$probe"
    [ -s "$WORK/probe" ]
}

start_window_manager() {
    # openbox finds its theme in the machine's data folders.
    XDG_DATA_DIRS=/usr/local/share:/usr/share openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    PIDS+=($!)
    wait_until "openbox to manage the screen" window_manager_running
    wait_until "openbox to manage windows" window_manager_manages
}

start_desktop() {
    start_display
    start_window_manager
}

has_lines() { [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ]; }

AGENT_CLASS=com.quorvant.Quorvant-Velmora
# agent_windows AWK-CONDITION: the agent's windows that match, "ID X Y W H TYPE WHERE" a line in
# $WORK/agent-windows (WHERE: "-" for a managed window, "popup", or the tray's class for its icon);
# false when there are none.
agent_windows() {
    "$CLIENT" agent-windows "$AGENT_CLASS" | awk "$1" >"$WORK/agent-windows" && [ -s "$WORK/agent-windows" ]
}

# run_client FILE LINES COMMAND...: the client's COMMAND in the background, once it printed
# LINES lines to $WORK/FILE; its process id is ${PIDS[-1]}.
run_client() {
    local file=$1 lines=$2
    shift 2
    "$CLIENT" "$@" >"$WORK/$file" 2>>"$WORK/client.log" &
    PIDS+=($!)
    wait_until "$file from the client" has_lines "$WORK/$file" "$lines"
}

# open_windows NAME CLASS COUNT [OPTIONS]: COUNT windows of class CLASS, managed when this
# returns; window I of them is $(window NAME I) (its id; the client prints "ID X Y").
open_windows() { run_client "windows-$1" "$3" windows "${@:2}"; }

window() { sed -n "${2:-1}{s/ .*//;p;}" "$WORK/windows-$1"; }

# open_apps NAME:CLASS...: one window of each CLASS, named NAME as in open_windows.
open_apps() {
    local app
    for app in "$@"; do open_windows "${app%%:*}" "${app#*:}" 1; done
}

# activate_id ID WHAT: activates window ID as a pager does, WHAT naming it in a failure.
activate_id() {
    timeout "$DEADLINE" xdotool windowactivate --sync "$1" 2>>"$WORK/xdotool.log" ||
        fail "xdotool could not activate ${2:-window $1}"
}
activate() { activate_id "$(window "$@")" "$*"; }

# start_session_bus [OPTION]: a private session bus (OPTION: --config-file=FILE for the
# session's); the services it starts (dconf, where IBus keeps its configuration) see this
# run's folders.
start_session_bus() {
    export XDG_CACHE_HOME=$WORK/cache
    dbus-daemon "${1:---session}" --nofork --print-address=5 5>"$WORK/bus" 2>"$WORK/bus.log" &
    PIDS+=($!)
    wait_until "the session bus" test -s "$WORK/bus"
    export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$WORK/bus")
}

# start_sway LAYOUTS: sway on the test's Xvfb (its X11 backend gives it a keyboard with the
# layouts LAYOUTS, "us,de"), SWAYSOCK and WAYLAND_DISPLAY naming it; its process id in SWAY_PID.
start_sway() {
    echo "input type:keyboard xkb_layout $1" >"$WORK/sway.conf"
    WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$WORK/sway.conf" >"$WORK/sway.log" 2>&1 &
    SWAY_PID=$!
    PIDS+=("$SWAY_PID")
    wait_until "sway's socket" eval 'ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock >/dev/null 2>&1'
    export SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
    wait_until "sway's answers" swaymsg -t get_version -q
    export WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -n 1)
}

# call SERVICE PATH INTERFACE.METHOD [ARG...]: the reply's values on the session bus, one a line.
call() {
    timeout 10 dbus-send --session --print-reply=literal --dest="$1" "$2" "${@:3}" 2>>"$WORK/dbus.log"
}

# start_kwin: KWin (kwin_wayland --virtual) on a session bus of its own with the layouts us,de,ru
# from its kxkbrc, as $WAYLAND_DISPLAY, its keyboard service answering, its process id in
# KWIN_PID; its log, with what KWin scripts print, in $WORK/kwin.log. The packaged binary has
# file capabilities that a container refuses: a copy runs, which must keep its name.
start_kwin() {
    start_session_bus
    printf '[Layout]
LayoutList=us,de,ru
Use=true
' >"$XDG_CONFIG_HOME/kxkbrc"
    cp "$(command -v kwin_wayland)" "$WORK/kwin_wayland"
    QT_LOGGING_RULES=kwin_scripting=true XDG_DATA_DIRS=/usr/local/share:/usr/share \
        "$WORK/kwin_wayland" --virtual --no-lockscreen --socket velmora-kwin --width 1024 \
        --height 768 >"$WORK/kwin.log" 2>&1 &
    KWIN_PID=$!
    PIDS+=("$KWIN_PID")
    export WAYLAND_DISPLAY=velmora-kwin
    wait_until "KWin's keyboard service" eval 'call org.kde.keyboard /Layouts \
        org.kde.KeyboardLayouts.getLayoutsList | grep -q Russian'
}

# kwin_run_script NAME JS: KWin runs JS once, as a script of its own. Each load has a name of its
# own: KWin forgets an unloaded script only later. Started as the agent starts its own (the
# loaded script's number may be another's, see backends/kde/kwin_scripting.h).
KWIN_LOADS=0
kwin_run_script() {
    KWIN_LOADS=$((KWIN_LOADS + 1))
    printf '%s
' "$2" >"$WORK/$1-$KWIN_LOADS.js"
    call org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript \
        string:"$WORK/$1-$KWIN_LOADS.js" string:"$1-$KWIN_LOADS" >/dev/null
    call org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null
}
KWIN_ALL='(workspace.windowList ? workspace.windowList() : workspace.clientList())'
# kwin_activate APP: KWin makes the window of app id APP the active one (Plasma 5 and 6 names).
kwin_activate() {
    kwin_run_script activate "var all = $KWIN_ALL;
for (var i = 0; i < all.length; ++i)
    if (all[i].desktopFileName === '$1') {
        if (workspace.windowList) workspace.activeWindow = all[i]; else workspace.activeClient = all[i];
    }"
}

# For the tests that run on any Wayland desktop, E2E_DESKTOP (sway, kde or gnome; gnome needs
# E2E_PRIVATE_RUN), on a session bus of their own: start_wayland_desktop starts it, focus_app APP
# brings the window of app id APP to the front (through swaymsg, a KWin script or the tests'
# GNOME Shell extension), open_wayland_window APP [ENV...] opens one (the
# Qt test window, in $VELMORA_WAYLAND_WINDOW, with ENV such as QT_IM_MODULE=fcitx). The agent's
# own windows stay off-screen.
start_wayland_desktop() {
    unset WAYLAND_DISPLAY SWAYSOCK
    export QT_QPA_PLATFORM=offscreen
    if [ "$E2E_DESKTOP" = sway ]; then
        start_display
        start_session_bus
        start_sway us,de
        # A session without XWayland: nothing below knows of an X display.
        unset DISPLAY
    elif [ "$E2E_DESKTOP" = gnome ]; then
        start_gnome_shell
        export XDG_CURRENT_DESKTOP=GNOME
    else
        start_kwin
    fi
}
focus_app() {
    if [ "$E2E_DESKTOP" = sway ]; then
        swaymsg -q "[app_id=\"$1\"] focus"
    elif [ "$E2E_DESKTOP" = gnome ]; then
        gnome_test ActivateWindowOf "$1" || true
    else
        kwin_activate "$1"
    fi
}
# front_app_is APP: the window of app id APP has the focus.
front_app_is() {
    if [ "$E2E_DESKTOP" = sway ]; then
        swaymsg -q "[con_id=__focused__ app_id=\"$1\"] nop" 2>/dev/null
    elif [ "$E2E_DESKTOP" = gnome ]; then
        gnome_test ActivateWindowOf "$1" # in front once found: GNOME activates at once
    else
        local tag=front-$((KWIN_LOADS + 1))
        kwin_run_script front "var w = workspace.activeWindow || workspace.activeClient;
print('$tag', w ? w.desktopFileName : '', 'end');"
        wait_until "KWin's front window" grep -q "js: $tag .*end" "$WORK/kwin.log"
        grep -q "js: $tag $1 end" "$WORK/kwin.log"
    fi
}
# open_front_window APP [ENV...]: open_wayland_window, returning once APP's window is in front.
# The desktop tells of a focus only when it moves, and the agent does nothing for the window
# in front when it starts: a test that opens its windows with this knows which one is there,
# and brings the others to the front by turns from it. (Windows opened all at once come up in
# any order, and focusing the one that happened to come up last changes nothing.)
open_front_window() {
    open_wayland_window "$@"
    wait_until "$1 in front" eval "focus_app $1; front_app_is $1"
}
open_wayland_window() {
    env "${@:2}" "${WAYLAND_CLIENT_SANITIZERS[@]}" QT_QPA_PLATFORM=wayland "$VELMORA_WAYLAND_WINDOW" "$1" \
        >>"$WORK/windows.log" 2>&1 &
    PIDS+=($!)
}
# Qt 6.4's Wayland plugin, not built for the sanitizers, leaves its display's globals allocated
# at exit and takes locks ThreadSanitizer cannot follow: their reports are off for a test's own
# Qt Wayland windows (the agent keeps them wherever it runs on our own code).
WAYLAND_CLIENT_SANITIZERS=("ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0"
    "TSAN_OPTIONS=${TSAN_OPTIONS:-}:report_bugs=0")

# start_ibus [PRELOAD]: ibus-daemon on the session bus (start_session_bus first), its configured
# engines PRELOAD when given ("['xkb:us::eng', 'libpinyin']"); its process id in IBUS_PID.
# IBus and its client find their settings' schemas in the machine's data folders.
start_ibus() {
    [ -z "${1:-}" ] ||
        XDG_DATA_DIRS=/usr/share dconf write /desktop/ibus/general/preload-engines "$1"
    XDG_DATA_DIRS=/usr/share ibus-daemon --panel=disable --emoji-extension=disable \
        >>"$WORK/ibus.log" 2>&1 &
    IBUS_PID=$!
    PIDS+=("$IBUS_PID")
}
engine_is() { [ "$(XDG_DATA_DIRS=/usr/share ibus engine 2>/dev/null)" = "$1" ]; }

# start_fcitx5 [ADDON]: Fcitx5 on the session bus with its D-Bus frontend (and ADDON, xcb for
# X11 applications), the group "keyboard-us, pinyin" of its profile in XDG_CONFIG_HOME; its
# process id in FCITX5_PID. Restarted by calling it again. It does not show the input method's
# name at each switch: in a Qt Wayland window Qt's Fcitx5 module shows that as a popup, which
# sway takes down again at the next focus, and now and then Qt 6.4 ends the window with a
# protocol error ("xdg_surface must have a role") or a crash.
start_fcitx5() {
    mkdir -p "$XDG_CONFIG_HOME/fcitx5"
    printf '%s\n' '[Behavior]' ShowInputMethodInformation=False >"$XDG_CONFIG_HOME/fcitx5/config"
    printf '%s\n' '[Groups/0]' Name=Default 'Default Layout=us' DefaultIM=pinyin \
        '[Groups/0/Items/0]' Name=keyboard-us Layout= '[Groups/0/Items/1]' Name=pinyin Layout= \
        '[GroupOrder]' 0=Default >"$XDG_CONFIG_HOME/fcitx5/profile"
    fcitx5 --disable=all --enable=dbus,dbusfrontend,keyboard,pinyin,punctuation${1:+,$1} \
        >>"$WORK/fcitx5.log" 2>&1 &
    FCITX5_PID=$!
    PIDS+=("$FCITX5_PID")
    # Asked of the bus: a call to Fcitx5 would start one from the distribution's service file.
    wait_until "Fcitx5 on the bus" eval 'call org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 | grep -q true'
    # Pinyin loads after it takes the name (seconds under load), and it answers nothing meanwhile.
    FCITX5_STARTS=$((${FCITX5_STARTS:-0} + 1))
    wait_until "Fcitx5's Pinyin" eval '[ "$(grep -c "Loaded addon pinyin" "$WORK/fcitx5.log")" -ge $FCITX5_STARTS ]'
}
fcitx5_controller() { call org.fcitx.Fcitx5 /controller "org.fcitx.Fcitx.Controller1.$1" "${@:2}"; }
fcitx5_im_is() { [ "$(fcitx5_controller CurrentInputMethod | tr -d ' ')" = "$1" ]; }

velmora_says() { grep -qs "$1" "$WORK/velmora.log" || return 1; }

# start_velmora [OPTION]: the agent, with OPTION (--autostart) when given.
start_velmora() {
    # Emptied here, not by the redirection in the new process: the wait below must not read
    # what an earlier agent wrote.
    : >"$WORK/velmora.log"
    "$VELMORA" "$@" >"$WORK/velmora-out.log" 2>>"$WORK/velmora.log" &
    VELMORA_PID=$!
    PIDS+=("$VELMORA_PID")
    wait_until "velmora to start" velmora_says "running on "
}

# Waits for velmora to end, its status in VELMORA_STATUS; a hang fails, with gdb's stacks.
wait_for_velmora_exit() {
    local pid=$VELMORA_PID end=$((SECONDS + DEADLINE))
    VELMORA_PID=
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do
        sleep 0.05
    done
    if kill -0 "$pid" 2>/dev/null; then
        if command -v gdb >/dev/null; then
            gdb -p "$pid" -batch -ex "thread apply all bt" >"$WORK/hung-velmora.log" 2>&1 || true
        fi
        kill -KILL "$pid" 2>/dev/null || true
        fail "velmora did not end"
    fi
    VELMORA_STATUS=0
    wait "$pid" || VELMORA_STATUS=$?
}

# Ends velmora with SIGTERM and checks that it exited with status 0.
stop_velmora() {
    kill -TERM "$VELMORA_PID"
    wait_for_velmora_exit
    [ "$VELMORA_STATUS" -eq 0 ] || fail "velmora exited with status $VELMORA_STATUS after SIGTERM"
}

start_group_watch() { run_client groups 1 watch-groups; }

groups_seen() { tail -n +2 "$WORK/groups" | tr '\n' ' ' | sed 's/ $//'; }

groups_reached() {
    local want=$1 seen
    seen=$(groups_seen)
    [ "$seen" = "$want" ] && return 0
    case "$want" in
    "$seen"*) return 1 ;; # not there yet
    esac
    echo "saw the groups [$seen], expected [$want]" >&2
    return 3
}

# expect_groups G...: the locked group went exactly through G... since the watch started.
expect_groups() { wait_until "the groups [$*]" groups_reached "$*"; }
group_is() { [ "$("$CLIENT" group)" = "$1" ]; }

# keycode_of NAME: the X key code of the XKB key NAME ("AC08") on the display's keymap. Keys
# are pressed by key code: for a key symbol xdotool may switch the group to find it.
keycode_of() {
    xkbcomp -xkb "$DISPLAY" - 2>/dev/null |
        sed -n "s/^[[:space:]]*<$1>[[:space:]]*=[[:space:]]*\([0-9]*\);.*/\1/p" | head -n 1
}

# write_settings XML...: a settings file whose top dictionary holds XML.
write_settings() {
    mkdir -p "$(dirname "$SETTINGS")"
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict>%s</dict></plist>\n' \
        "$*" >"$SETTINGS"
}

# store_shortcuts [ID KEY-CODE FLAGS]...: a settings file holding only these stored hotkeys,
# as the shortcut recorder stores them (key code of the key's position, modifier flags).
store_shortcuts() {
    local entries=
    while [ $# -ge 3 ]; do
        entries+="<key>$1</key><dict><key>keyCode</key><integer>$2</integer>"
        entries+="<key>modifierFlags</key><integer>$3</integer></dict>"
        shift 3
    done
    write_settings "<key>shortcutOfInput</key><dict>$entries</dict>"
}

# switch_on KEY: the boolean setting KEY on, at the top of the settings file.
switch_on() { sed -i "0,/<dict>/s|<dict>|<dict><key>$1</key><true/>|" "$SETTINGS"; }

# The switch counter in the settings file; nothing when there is none (or no file).
saved_switch_count() {
    sed -n '/<key>changedTimes<\/key>/{n;s|.*<integer>\([0-9]*\)</integer>.*|\1|p;}' \
        "$SETTINGS" 2>/dev/null || true
}

# expect_rules TABLE: "velmora rules" prints TABLE (a printf format, with \t and \n).
expect_rules() {
    [ "$("$VELMORA" rules)" = "$(printf "$1")" ] || fail "the rules are: $("$VELMORA" rules)"
}

# The settings file without white space, for matching what spans lines.
flat_settings() { tr -d ' \t\n' <"$SETTINGS"; }

# gnome_tool COMMAND...: one of GNOME's programs (gnome-shell, gsettings), which find their
# schemas and data in the machine's data folders; those of $VELMORA_GNOME_ROOT when it is set
# (a Debian root made by tests/gnome/next_shell.sh), run there as this user. With --replace
# first, the program takes the place of the (background) shell that runs gnome_tool, so that $!
# is its process id.
gnome_tool() {
    local run=()
    [ "$1" != --replace ] || { shift && run=(exec); }
    [ -z "${VELMORA_GNOME_ROOT:-}" ] ||
        run+=(unshare --map-current-user --root="$VELMORA_GNOME_ROOT")
    XDG_DATA_DIRS="$XDG_DATA_DIRS:/usr/local/share:/usr/share" "${run[@]}" "$@"
}

# gnome_extensions METHOD UUID: GNOME Shell's extension service (as gnome-extensions calls it,
# which needs gjs besides): GetExtensionInfo, EnableExtension, DisableExtension.
gnome_extensions() {
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method "org.gnome.Shell.Extensions.$1" "$2" 2>>"$WORK/client.log"
}
extension_enabled() { gnome_extensions GetExtensionInfo "$1" | grep -q "'state': <1.0>"; }

# gnome_test METHOD ARG: the tests' own extension (tests/e2e/gnome-test-extension) did METHOD
# on ARG: "ActivateWindowOf CLASS" brings the window of that WM class (a Wayland app id) to the
# front as a click on it would, "ClickPanelButton ROLE" clicks that top-bar button. False when
# there is no such window or button.
gnome_test() {
    gdbus call --session --dest org.gnome.Shell --object-path /com/quorvant/VelmoraTest \
        --method "com.quorvant.VelmoraTest1.$1" "$2" 2>>"$WORK/client.log" | grep -q true
}

# start_gnome_shell: GNOME Shell as a headless Wayland compositor with one virtual monitor, on a
# private session bus (the test set E2E_PRIVATE_RUN before lib.sh), with the input sources us,
# de, ru and, installed in the test's data folder and enabled, every extension in the folder
# $VELMORA_GNOME_EXTENSIONS. Returns once each extension runs; WAYLAND_DISPLAY names the shell,
# its process id in GNOME_SHELL_PID.
start_gnome_shell() {
    # Of the session's services only dconf, where GNOME keeps its settings: the others the shell
    # asks for (portals, accessibility, calendar) are not what the tests look at, and the
    # document portal would leave a mount in the runtime folder.
    mkdir -p "$WORK/services"
    cp /usr/share/dbus-1/services/ca.desrt.dconf.service "$WORK/services/"
    printf '%s' "<busconfig><type>session</type><listen>unix:tmpdir=$WORK</listen>
        <auth>EXTERNAL</auth><servicedir>$WORK/services</servicedir><policy context='default'>
        <allow send_destination='*' eavesdrop='true'/><allow eavesdrop='true'/>
        <allow own='*'/></policy></busconfig>" >"$WORK/session.conf"
    start_session_bus --config-file="$WORK/session.conf"
    local folder uuids=()
    mkdir -p "$XDG_DATA_HOME/gnome-shell/extensions"
    for folder in "$VELMORA_GNOME_EXTENSIONS"/*/; do
        cp -r "$folder" "$XDG_DATA_HOME/gnome-shell/extensions/"
        uuids+=("$(basename "$folder")")
    done
    gnome_tool gsettings set org.gnome.desktop.input-sources sources \
        "[('xkb','us'),('xkb','de'),('xkb','ru')]"
    gnome_tool gsettings set org.gnome.shell enabled-extensions \
        "[$(printf "'%s'," "${uuids[@]}" | sed 's/,$//')]"
    gnome_tool --replace gnome-shell --headless --wayland --no-x11 --virtual-monitor 1280x800 \
        >"$WORK/gnome-shell.log" 2>&1 &
    GNOME_SHELL_PID=$!
    PIDS+=("$GNOME_SHELL_PID")
    for folder in "${uuids[@]}"; do
        wait_until "GNOME Shell to enable $folder" extension_enabled "$folder"
    done
    # The shell starts IBus, which would outlive it: ended with the test.
    if gnome_tool sh -c 'command -v ibus-daemon' >/dev/null; then
        wait_until "GNOME Shell's IBus" eval 'grep -qs IBUS_DAEMON_PID "$XDG_CONFIG_HOME"/ibus/bus/*'
        PIDS+=($(sed -n 's/^IBUS_DAEMON_PID=//p' "$XDG_CONFIG_HOME"/ibus/bus/* | head -n 1))
    fi
    export WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -n 1)
}
