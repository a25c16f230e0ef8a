#!/usr/bin/env bash
# Which application a window belongs to: desktop files found by StartupWMClass or by a file
# name equal to the class, localized names, the bare class, and windows without a class or with
# names that are not UTF-8. Rules written for these identities apply.
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

start_desktop
open_windows editor ExampleEdit 1
open_windows viewer Viewer 1
open_windows plain PlainClass 1
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
# The agent's own windows are known as the agent, which is no application to keep a rule for.
"$VELMORA" apps | grep -qi velmora &&
    fail "the agent is listed among the applications: $("$VELMORA" apps)"
# Windows that come and go at once: the agent looks at them when they may be gone already.
for round in 1 2 3 4 5 6 7 8; do
    "$CLIENT" windows Churn 5 --no-wait >/dev/null 2>&1 &
    churn=$!
    sleep 0.0$round
    kill "$churn" 2>/dev/null || true
    wait "$churn" 2>/dev/null || true
done
activate editor
expect_groups 1
activate nameless
activate latin
activate viewer
expect_groups 1 2
stop_velmora
