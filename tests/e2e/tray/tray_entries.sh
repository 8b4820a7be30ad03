#!/usr/bin/env bash
# An entry whose title matches two terminals opens the selection dialog: choosing the
# second sends only there; "&Abbruch" sends nothing. A DOS-box entry reaches its terminal
# through the clipboard: the text is put on CLIPBOARD and PRIMARY and pasted (PRIMARY) with
# Shift+Insert.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Konsolen --text 'an beide?' --title ' konsole ' --crypt 0
tray_cli add Verzeichnis --text $'dir /w äö €\r' --title 'Eingabe' --crypt 0 --dosbox 1
rig_xterm "Eingabeaufforderung" "$RIG_DIR/dos.out"
rig_xterm "Konsole zwei" "$RIG_DIR/zwei.out"
rig_xterm "Konsole eins" "$RIG_DIR/eins.out"
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
tray_activate "$RIG_LAST_WINDOW"
tray_start

# Sorted: Konsolen, Verzeichnis.
tray_choose Down Return
rig_wait_for_active "$(rig_wait_for_window "Auswahl - [Kalmotex]")"
# Sorted: "Konsole eins" (preselected), "Konsole zwei".
tray_keys Down alt+o
rig_wait_for_no_window "Auswahl - [Kalmotex]"
tray_expect_file "$RIG_DIR/zwei.out" "an beide?"
tray_choose Down Return
rig_wait_for_active "$(rig_wait_for_window "Auswahl - [Kalmotex]")"
tray_keys alt+a
rig_wait_for_no_window "Auswahl - [Kalmotex]"

tray_choose Down Down Return
tray_expect_file "$RIG_DIR/dos.out" $'dir /w äö €\r'
[ "$("$RIG_PROBE" clipboard)" = $'dir /w äö €\r' ] || rig_fail "CLIPBOARD holds $("$RIG_PROBE" clipboard | od -An -c)"
# Every send went through the program in turn: nothing more arrived anywhere, nor in the
# window used last.
tray_expect_empty "$RIG_DIR/ziel.out"
tray_expect_file "$RIG_DIR/zwei.out" "an beide?"
tray_expect_empty "$RIG_DIR/eins.out"
echo "PASS"
