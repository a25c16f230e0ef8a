#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "velmora rule" where the settings file cannot be written: on a full disk (a small tmpfs,
# mounted when running as root) and in a folder the user cannot write (as user nobody when
# running as root, who may write anywhere). It must exit 1 with one "velmora: " line naming the
# file and the cause, and leave the file as it was; once the cause is gone, the rule is saved.
#   rule_cannot_save.sh VELMORA
source "$(dirname "$0")/../e2e/lib.sh" "$1" "$1" # no display, no client
NAME=${SETTINGS#"$XDG_CONFIG_HOME/"}

# refused WHY COMMAND...: COMMAND (a velmora rule) is refused for WHY, leaving the file alone.
refused() {
    local why=$1 settings=$XDG_CONFIG_HOME/$NAME before status=0 message
    shift
    before=$(cat "$settings")
    "$@" 2>"$WORK/error" || status=$?
    message=$(cat "$WORK/error")
    [ "$status" -eq 1 ] || fail "exit status $status, not 1, for '$why': $message"
    [ "$(wc -l <"$WORK/error")" -eq 1 ] || fail "not one line for '$why': $message"
    case $message in
    "velmora: could not save the settings to $settings ("*"$why"*) ;;
    *) fail "no message naming the file and '$why': $message" ;;
    esac
    [ "$(cat "$settings")" = "$before" ] || fail "the file changed although '$why'"
}

# A full disk.
mkdir "$WORK/disk"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=64k,mode=0700 tmpfs "$WORK/disk" 2>/dev/null; then
    MOUNTED=$WORK/disk
    export XDG_CONFIG_HOME=$WORK/disk
    "$VELMORA" rule AppA xkb:de
    dd if=/dev/zero of="$WORK/disk/filler" bs=4k 2>/dev/null || true
    refused "No space left on device" "$VELMORA" rule AppB xkb:ru
    rm "$WORK/disk/filler"
    "$VELMORA" rule AppB xkb:ru || fail "not saved once there was room"
    expect_rules 'AppA\txkb:de\nAppB\txkb:ru'
else
    echo "SKIP the full disk: a small tmpfs cannot be mounted here (that takes root)"
fi

# A folder that cannot be written.
export XDG_CONFIG_HOME=$WORK/config
"$VELMORA" rule AppA xkb:de
as_user=()
velmora=$VELMORA
if [ "$(id -u)" -eq 0 ]; then
    # The build folder may be out of nobody's reach (a home folder of mode 0700).
    chmod 755 "$WORK"
    install -m 755 "$VELMORA" "$WORK/velmora"
    velmora=$WORK/velmora
    chown -R 65534:65534 "$XDG_CONFIG_HOME"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod 500 "$XDG_CONFIG_HOME/velmora"
refused "Permission denied" "${as_user[@]}" "$velmora" rule AppB xkb:ru
chmod 700 "$XDG_CONFIG_HOME/velmora"
"${as_user[@]}" "$velmora" rule AppB xkb:ru || fail "not saved once the folder could be written"
expect_rules 'AppA\txkb:de\nAppB\txkb:ru'
echo "PASS"
