#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The GNOME Shell extensions (Velmora's and the tests' own) in their GNOME 45+ form, run in the
# GNOME Shell of another Debian (trixie: GNOME Shell 48): tests/e2e/gnome_shell.sh and gnome.sh
# as ctest runs them, with that shell in place of the machine's. The shell runs in a Debian root
# of its own; the test's programs, bus and windows are the machine's.
#
# Not part of ctest: the first run downloads about 270 MB (the root takes about 1.2 GB) and
# takes about five minutes; later ones reuse the root. Run it as root from a checkout whose
# build folder is configured (apt-get install debootstrap first):
#   tests/gnome/next_shell.sh [BUILD]
# BUILD is the build folder (default: build); the programs the tests need are built there, and
# the extensions in the GNOME 45 style in BUILD-gnome45 (configured with
# -DVELMORA_GNOME_SHELL_STYLE=45). The root is $VELMORA_GNOME_ROOT (default
# /var/tmp/velmora-trixie), made by debootstrap when it has no gnome-shell yet and reused after;
# $VELMORA_DEBIAN_SUITE (trixie) and $VELMORA_DEBIAN_MIRROR choose what it is made of.
set -euo pipefail
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(realpath "${1:-$SOURCE/build}")
ROOT=${VELMORA_GNOME_ROOT:-/var/tmp/velmora-trixie}
[ "$(id -u)" -eq 0 ] || { echo "next_shell.sh: run it as root" >&2 && exit 1; }

if [ ! -x "$ROOT/usr/bin/gnome-shell" ]; then
    # The shell and the session's services it asks for; Mesa draws without a GPU. Where a
    # package asks for one of several (a logind, a session bus), debootstrap takes none by
    # itself: systemd's are named.
    PACKAGES=gnome-shell,dbus,dbus-daemon,dbus-user-session,dconf-service,libglib2.0-bin,gjs
    PACKAGES+=,libpam-systemd,systemd-sysv,libegl-mesa0,libgl1-mesa-dri
    debootstrap --variant=minbase \
        --include="$PACKAGES" \
        "${VELMORA_DEBIAN_SUITE:-trixie}" "$ROOT" "${VELMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
    rm -f "$ROOT"/var/cache/apt/archives/*.deb
fi
# GLib's D-Bus in the shell wants the machine's id.
[ -s "$ROOT/etc/machine-id" ] || chroot "$ROOT" dbus-uuidgen >"$ROOT/etc/machine-id"
chroot "$ROOT" gnome-shell --version

cmake -S "$SOURCE" -B "$BUILD-gnome45" -DVELMORA_GNOME_SHELL_STYLE=45 >/dev/null
cmake --build "$BUILD" --target velmora velmora_e2e_client velmora_fake_desktop_services \
    velmora_wayland_window
program() { find "$BUILD" -name "$1" -type f -perm -u+x | head -n 1; }
status=0
for test in gnome_shell gnome; do
    echo "--- e2e.$test"
    # As CI runs it: root, an empty environment.
    if env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root VELMORA_GNOME_ROOT="$ROOT" \
        VELMORA_GNOME_EXTENSIONS="$BUILD-gnome45/gnome-shell-extensions" \
        VELMORA_FAKE_SERVICES="$(program velmora_fake_desktop_services)" \
        VELMORA_WAYLAND_WINDOW="$(program velmora_wayland_window)" \
        bash "$SOURCE/tests/e2e/$test.sh" "$(program velmora)" "$(program velmora_e2e_client)"; then
        echo "passed"
    else
        status=1 && echo "failed"
    fi
done
exit "$status"
