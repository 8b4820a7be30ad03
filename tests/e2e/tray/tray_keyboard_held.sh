#!/usr/bin/env bash
# A click on the icon while another client holds the keyboard (a window manager's key
# chain, another program's menu) opens the menu all the same, and the menu takes the
# keyboard as soon as the other client lets go: the keys typed then reach it.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/tray_lib.sh"

rig_start --tray
tray_prepare
tray_cli add Eins --text 1 --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
tray_start

rig_spawn holder sh -c 'exec "$0" grab-keyboard 600000 >"$1"' "$RIG_PROBE" "$RIG_DIR/holding"
rig_wait_until "$RIG_TIMEOUT" "the other client to hold the keyboard" grep -q grabbed "$RIG_DIR/holding"
tray_open_menu 1
rig_kill holder
# Nobody else can have the keyboard once the menu holds it.
menu_holds_keyboard() { ! "$RIG_PROBE" grab-keyboard 0; }
rig_wait_until "$RIG_TIMEOUT" "the menu to take the keyboard" menu_holds_keyboard
tray_keys Down Return
tray_expect_file "$RIG_DIR/ziel.out" "1"
echo "PASS"
