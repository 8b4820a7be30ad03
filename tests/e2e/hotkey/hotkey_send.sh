#!/usr/bin/env bash
# With the configuration as it comes, Ctrl+Alt+V in a terminal opens the popup menu at the
# mouse pointer while the terminal stays the active window; the entry chosen by keys or by
# a click is typed into that terminal; Escape sends nothing. Num Lock and Caps Lock being on
# change nothing. Then "Extras → &Weitere Optionen...": the combination pressed in the key
# field and confirmed with Enter ("&OK") is written to the configuration and opens the menu
# at once; the old one reaches the terminal again. "&Keines" switches the hotkey off.
set -uo pipefail
source "$(dirname "$0")/../options/options_lib.sh"

tray_setup
tray_cli add Brief --text $'Hallo Welt\räöü €' --crypt 0
grep -qi '^Hotkey' "$TRAY_INI" && rig_fail "the test wants the default hotkey, the file names one"

tray_two_terminals
window_a=$TRAY_WINDOW_A
tray_start

# Opens the menu with the hotkey at the pointer (X, Y); checks where it opened and that the
# terminal kept the focus.
open_menu_with_hotkey()
{
    xdotool mousemove "$1" "$2"
    xdotool key ctrl+alt+v
    tray_wait_menu_open
    [ "$(options_menu_corner)" = "$1 $2" ] || rig_fail "menu at '$(options_menu_corner)', pointer at '$1 $2'"
    _rig_active_is "$window_a" || rig_fail "the menu took the focus"
}

# Lock keys add modifiers to the key event; the hotkey must not depend on them. Escape
# sends nothing (the send after it arrives alone).
xdotool key Num_Lock Caps_Lock
open_menu_with_hotkey 300 200
tray_keys Escape
tray_wait_menu_closed
xdotool key Num_Lock Caps_Lock

open_menu_with_hotkey 400 300
tray_keys Down Return
tray_wait_menu_closed
expected=$'Hallo Welt\räöü €'
tray_expect_file "$RIG_DIR/a.out" "$expected"

# Chosen with the mouse: the first row lies just below the menu's top edge.
open_menu_with_hotkey 600 500
xdotool mousemove 640 512
xdotool click 1
tray_wait_menu_closed
expected+=$'Hallo Welt\räöü €'
tray_expect_file "$RIG_DIR/a.out" "$expected"
tray_expect_empty "$RIG_DIR/b.out"

dialog_title="[Kalmotex] - Weitere Optionen"
hotkey_line() { tr -d '\r' <"$TRAY_INI" | grep '^Hotkey=' || true; }
open_dialog()
{
    tray_open_main_window
    tray_open_extras w "$dialog_title" # "&Weitere Optionen..."
}
# KEYS (one xdotool key name) pressed in the terminal open the menu and never reach it
# (menu), or reach it, as nobody holds them, and open no menu (terminal).
press_in_terminal()
{
    local before
    before=$(stat -c %s "$RIG_DIR/a.out")
    tray_activate "$window_a"
    xdotool key "$1"
    if [ "$2" = menu ]; then
        tray_wait_menu_open
        tray_keys Escape
        tray_wait_menu_closed
        [ "$(stat -c %s "$RIG_DIR/a.out")" -eq "$before" ] || rig_fail "$1 reached the terminal"
    else
        rig_wait_for_file_bytes "$RIG_DIR/a.out" $((before + 1))
        _tray_menu_closed || rig_fail "$1 opened the menu"
    fi
}

open_dialog
xdotool key --clearmodifiers alt+t # "&Tastenkürzel für das Menü:" leads to the key field
# The combination pressed there ends the recording and hands the focus to "&OK".
xdotool key ctrl+shift+F5
xdotool key Return
rig_wait_for_no_window "$dialog_title"
[ "$(hotkey_line)" = "Hotkey=Ctrl+Shift+F5" ] || rig_fail "configuration holds '$(hotkey_line)'"
xdotool key --clearmodifiers F11 # "&Ausblenden" the main window

press_in_terminal ctrl+shift+F5 menu
press_in_terminal ctrl+alt+v terminal

open_dialog
xdotool key --clearmodifiers alt+k # "&Keines"
xdotool key --clearmodifiers alt+o # "&OK"
rig_wait_for_no_window "$dialog_title"
[ "$(hotkey_line)" = "Hotkey=" ] || rig_fail "configuration holds '$(hotkey_line)'"
press_in_terminal ctrl+shift+F5 terminal
echo "PASS"
