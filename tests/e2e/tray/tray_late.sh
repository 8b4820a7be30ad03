#!/usr/bin/env bash
# Without a notification area the main window stays visible; when a tray host starts
# later, the icon shows up in it and opens the menu. The main window loses the focus while
# the menu is open and the program hears of that late: the menu stays open, and closing it
# must not bring the main window back in front of the window the send types into.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

rig_start
tray_prepare
# Sent by title: the visible main window may lie above the terminal.
tray_cli add Eins --text 1 --title Ziel --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
rig_spawn kalmotex "$TRAY_APP/kalmotex"
TRAY_PID=$RIG_LAST_PID
main=$(rig_wait_for_window "[Kalmotex]") || exit 1

rig_start_tray
TRAY_ICON=$(tray_wait_icon) || exit 1
ziel=$(rig_wait_for_window Ziel) || exit 1
tray_activate "$main"
tray_open_menu 1
# Stopped, the program reads the focus change and the keys only after both happened.
kill -STOP "$TRAY_PID"
tray_activate "$ziel"
tray_keys Down Return
kill -CONT "$TRAY_PID"
tray_expect_file "$RIG_DIR/ziel.out" "1"
echo "PASS"
