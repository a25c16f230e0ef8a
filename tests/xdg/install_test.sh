#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix and checks that the program, its desktop file and
# its icon land where launchers, autostart and icon themes look, and that they name each other.
# Usage: install_test.sh BUILD-FOLDER
set -euo pipefail

build=$1
id=com.quorvant.Quorvant-Velmora
prefix=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
desktop=$prefix/share/applications/$id.desktop
icon=$prefix/share/icons/hicolor/scalable/apps/$id.svg

[ -x "$prefix/bin/velmora" ] || fail "no executable $prefix/bin/velmora"
[ -f "$desktop" ] || fail "no desktop file $desktop"
[ -f "$icon" ] || fail "no icon $icon"

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (scripts/deps.sh)"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"

key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon) does not name the installed icon"
# The agent sets its WM_CLASS class to its id; desktops match running windows to the file by it.
[ "$(key StartupWMClass)" = "$id" ] || fail "StartupWMClass=$(key StartupWMClass)"
[ "$(PATH="$prefix/bin" command -v "$(key Exec)")" = "$prefix/bin/velmora" ] ||
  fail "Exec=$(key Exec) does not start the installed program"
grep -q '<svg' "$icon" || fail "$icon is no SVG image"

echo "installed: bin/velmora, $id.desktop, $id.svg"
