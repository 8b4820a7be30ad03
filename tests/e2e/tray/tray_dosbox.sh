#!/usr/bin/env bash
# A DOS-box entry reaches the terminal through the clipboard: the text is put on CLIPBOARD
# and PRIMARY and pasted with Shift+Insert.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Verzeichnis --text $'dir /w äö €\r' --title 'Eingabe' --dosbox 1 --crypt 0
rig_xterm "Eingabeaufforderung" "$RIG_DIR/dos.out"
tray_start

tray_open_menu 1
tray_keys Down Return
tray_expect_file "$RIG_DIR/dos.out" $'dir /w äö €\r'
echo "PASS"
