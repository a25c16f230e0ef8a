#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Which application a window belongs to: desktop files found by StartupWMClass or by a file
# name equal to the class, localized names, the bare class, and windows without a class or with
# names that are not UTF-8. Rules written for these identities apply. The rule table shows each
# application's icon and name: the desktop file's icon from the icon theme (an SVG here), else
# the icon the window sets (the size the row draws, 16 here rather than 64), with the class as
# the name when there is no desktop file. (Icon files that are huge or folders are not read:
# QtImagesTest in tests/qt; each falls back to the window's icon as a missing one does here.)
source "$(dirname "$0")/lib.sh" "$@"

cat >"$XDG_DATA_HOME/applications/org.example.Editor.desktop" <<'DESKTOP'
[Desktop Entry]
Type=Application
Name=Example Editor
Name[de]=Beispiel-Editor
Exec=true
StartupWMClass=ExampleEdit
DESKTOP
mkdir -p "$XDG_DATA_DIRS/applications"
cat >"$XDG_DATA_DIRS/applications/viewer.desktop" <<'DESKTOP'
[Desktop Entry]
Type=Application
Name=Picture Viewer
Exec=true
DESKTOP

# Icons: an SVG in the hicolor theme.
icons="$XDG_DATA_HOME/icons/hicolor"
mkdir -p "$icons/scalable/apps"
printf '[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n[scalable/apps]\nSize=48\nType=Scalable\nMinSize=1\nMaxSize=512\n' \
    >"$icons/index.theme"
printf '<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48"><rect width="48" height="48" fill="#22aa44"/></svg>\n' \
    >"$icons/scalable/apps/velmora-e2e-green.svg"
icon_app() { # ID CLASS ICON
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=true\nStartupWMClass=%s\nIcon=%s\n' \
        "$2 Tester" "$2" "$3" >"$XDG_DATA_HOME/applications/$1.desktop"
}
icon_app org.example.Svg SvgApp velmora-e2e-green
icon_app org.example.Lost LostIcon no-such-icon
write_settings "<key>orderOfAppsRule</key><array>$(printf '<string>%s</string>' IconApp \
    org.example.Svg org.example.Lost)</array>"

start_desktop
open_windows icon IconApp 1 --icon ff0000
open_windows lost LostIcon 1 --icon ff00ff
open_apps svg:SvgApp editor:ExampleEdit viewer:Viewer plain:PlainClass
open_windows nameless "" 1 --bad-names
open_windows latin "Caf$(printf '\xe9')" 1 --bad-names

apps=$("$VELMORA" apps)
for line in "org.example.Editor	Example Editor" "viewer	Picture Viewer" \
    "PlainClass	PlainClass" "Café	Café"; do
    grep -qxF "$line" <<<"$apps" || fail "\"$line\" is not among the applications: $apps"
done
grep -q "^-	" <<<"$apps" || fail "the window without a class has no entry: $apps"
LC_ALL=de_DE.UTF-8 "$VELMORA" apps | grep -qxF "org.example.Editor	Beispiel-Editor" ||
    fail "the German name is not used"

"$VELMORA" rule org.example.Editor xkb:de
"$VELMORA" rule viewer xkb:ru
start_group_watch
start_velmora
# Windows that come and go at once: the agent looks at them when they may be gone already
# (their client ends after it mapped 1 to 5 of them).
for round in 1 2 3 4 5 6 7 8; do
    run_client churn $((round % 5 + 1)) windows Churn 5 --no-wait
    stop_pid "${PIDS[-1]}"
done
activate editor
expect_groups 1
activate nameless
activate latin
activate viewer
expect_groups 1 2

# Without a tray the settings show in a window of their own at start.
source "$(dirname "$0")/popover_lib.sh"
wait_until "the settings window" settings_window
# The agent's own windows are known as the agent, which is no application to keep a rule for.
"$VELMORA" apps | grep -qi velmora &&
    fail "the agent is listed among the applications: $("$VELMORA" apps)"
# An icon of the colour $1 in the table's icon column, drawn at about the 20 points of a row.
icon_shown() {
    "$CLIENT" colour-extent "$SX" "$SY" 50 "$SH" "$1" >"$WORK/extent" || return 1
    read -r left top right bottom <"$WORK/extent"
    [ $((right - left)) -ge 14 ] && [ $((bottom - top)) -ge 14 ] && [ $((bottom - top)) -le 22 ]
}
for colour in ff0000 22aa44 ff00ff; do
    wait_until "the icon of colour $colour in the rule table" icon_shown "$colour"
done
"$CLIENT" colour-extent "$SX" "$SY" "$SW" "$SH" 0000ff >/dev/null &&
    fail "a window's icon too large for the row was drawn"
# The name beside the window's own icon: its class, drawn in the name column of its row.
icon_shown ff0000
"$CLIENT" dark-extent $((SX + right + 10)) $((SY + top)) 150 $((bottom - top)) 100 >/dev/null ||
    fail "the application without a desktop file has no name in its row"
stop_velmora
