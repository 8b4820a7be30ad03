#!/usr/bin/env bash
# "Extras → &Weitere Optionen..." in the main window: the combination pressed in the key
# field and confirmed with Enter ("&OK") is written to the configuration and opens the menu
# at once; the old one reaches the terminal again. "&Keines" switches the hotkey off.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"

tray_setup
tray_cli add Brief --text 'Hallo' --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
terminal=$RIG_LAST_WINDOW
dialog_title="[Kalmotex] - Weitere Optionen"
tray_start

hotkey_line() { tr -d '\r' <"$TRAY_INI" | grep '^Hotkey=' || true; }

open_dialog()
{
    tray_open_main_window
    tray_open_extras w "$dialog_title" # "&Weitere Optionen..."
}

captured() { stat -c %s "$RIG_DIR/ziel.out"; }

activate_terminal() { tray_activate "$terminal"; }

# KEYS (one xdotool key name) pressed in the terminal open the menu and never reach the
# terminal.
keys_open_menu()
{
    local before
    before=$(captured)
    activate_terminal
    xdotool key "$1"
    tray_wait_menu_open
    tray_keys Escape
    tray_wait_menu_closed
    [ "$(captured)" -eq "$before" ] || rig_fail "$1 reached the terminal"
}

# KEYS pressed in the terminal reach it (nobody holds them) and open no menu.
keys_reach_terminal()
{
    local before
    before=$(captured)
    activate_terminal
    xdotool key "$1"
    rig_wait_for_file_bytes "$RIG_DIR/ziel.out" $((before + 1))
    _tray_menu_closed || rig_fail "$1 opened the menu"
}

open_dialog
xdotool key --clearmodifiers alt+t # "&Tastenkürzel für das Menü:" leads to the key field
# The combination pressed there ends the recording and hands the focus to "&OK".
xdotool key ctrl+shift+F5
xdotool key Return
rig_wait_for_no_window "$dialog_title"
[ "$(hotkey_line)" = "Hotkey=Ctrl+Shift+F5" ] || rig_fail "configuration holds '$(hotkey_line)'"
xdotool key --clearmodifiers F11 # "&Ausblenden" the main window

keys_open_menu ctrl+shift+F5
keys_reach_terminal ctrl+alt+v

open_dialog
xdotool key --clearmodifiers alt+k # "&Keines"
xdotool key --clearmodifiers alt+o # "&OK"
rig_wait_for_no_window "$dialog_title"
[ "$(hotkey_line)" = "Hotkey=" ] || rig_fail "configuration holds '$(hotkey_line)'"
keys_reach_terminal ctrl+shift+F5
echo "PASS"
