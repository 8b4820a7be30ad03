#!/usr/bin/env bash
# No window matches the entry's title: the message box appears and nothing is typed.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Niemand --text 'ins Leere' --title 'Gibt es nicht' --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
tray_start

tray_open_menu 1
tray_keys Down Return
box=$(rig_wait_for_window "Kalmotex")
# Keys go to the focused window: press Return only once the box has the focus.
rig_wait_for_active "$box"
tray_keys Return
rig_wait_for_no_window "Kalmotex"
[ -n "$box" ] || rig_fail "no message box"

tray_open_menu 1
tray_keys Escape
tray_wait_menu_closed
tray_expect_empty "$RIG_DIR/ziel.out"
echo "PASS"
