#!/usr/bin/env bash
# The program's icon in swaybar (StatusNotifierItem over the session bus): with a tray host
# the main window stays hidden; a click on the icon opens the popup menu, and the entry
# chosen with the keys arrives in the terminal used last.
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
export DBUS_SESSION_BUS_ADDRESS=$WL_BUS
tray_cli add Gruss --text $'Grüße\r' --crypt 0
wl_foot ziel "$RIG_DIR/ziel.out"
wl_focus ziel
rig_spawn kalmotex "$TRAY_APP/kalmotex"
# The items swaybar shows, as "BUSNAME/PATH".
_icons() { dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher string:RegisteredStatusNotifierItems \
    | sed -n 's/^ *string "\(.*\)"$/\1/p'; }
_icon_shown() { [ -n "$(_icons)" ]; }
rig_wait_until "$RIG_TIMEOUT" "the icon to be registered with swaybar" _icon_shown
_wl_has_window de.kalmotex.Kalmotex >/dev/null && rig_fail "the main window is shown although swaybar hosts the icon"

# The headless seat has no pointer to click with: the test calls what swaybar calls on a
# left click.
item=$(_icons | head -n 1)
dbus-send --session --type=method_call --dest="${item%%/*}" "/${item#*/}" \
    org.kde.StatusNotifierItem.Activate int32:1270 int32:10 || rig_fail "the icon refused the click"
_menu_open() { _wl_tree | jq -e '[.. | select(.name? == "PumMain" and .focused? == true)] | length == 1'; }
rig_wait_until "$RIG_TIMEOUT" "the menu after a click on the icon" _menu_open
wtype -k Down -k Return
tray_expect_file "$RIG_DIR/ziel.out" $'Grüße\r'
echo "PASS"
