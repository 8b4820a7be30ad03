#!/usr/bin/env bash
# Without a notification area the main window stays visible; when a tray host starts
# later, the icon shows up in it and opens the menu, also right after the main window
# lost the focus.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/tray_lib.sh"

rig_start
tray_prepare
# Sent by title: the visible main window may lie above the terminal.
tray_cli add Eins --text 1 --title Ziel --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
rig_spawn kalmotex "$TRAY_APP/kalmotex"
TRAY_PID=$RIG_LAST_PID
rig_wait_for_window "[Kalmotex]" >/dev/null

rig_start_tray
TRAY_ICON=$(tray_wait_icon) || exit 1
# The main window loses the focus right before the press; the program hears of that only
# after the menu has opened, and the menu must stay open all the same.
ziel=$(rig_wait_for_window Ziel) || exit 1
tray_activate "$ziel"
tray_open_menu 1
tray_keys Down Return
tray_expect_file "$RIG_DIR/ziel.out" "1"
echo "PASS"
