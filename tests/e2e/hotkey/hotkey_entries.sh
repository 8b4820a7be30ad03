#!/usr/bin/env bash
# An entry's own combination, pressed in a terminal, types the entry there without a menu;
# one with a title goes to the window of that title. A combination set in the main window's
# key field works at once. Those another program holds at the start are named in one message.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"

tray_setup
tray_cli add Brief --text 'Hallo Welt' --crypt 0
tray_cli add 'Nach B' --text 'nach B' --title 'Ziel B' --crypt 0
tray_cli add Post --text 'Post' --crypt 0
printf '[Hotkey]\r\n1=Ctrl+Alt+1\r\n3=Ctrl+Alt+3\r\n' >>"$TRAY_INI"
tray_two_terminals
tray_start

holds_line() { tr -d '\r' <"$TRAY_INI" | grep -qx "$1"; }
tray_open_main_window
tray_keys Home Down # "Nach B"
xdotool key --clearmodifiers alt+k # "Tasten&kürzel:"
# The combination pressed there is recorded and stored as the focus moves on.
xdotool key ctrl+alt+2
rig_wait_until "$RIG_TIMEOUT" "the configuration to hold entry 2's combination" holds_line 2=Ctrl+Alt+2
xdotool key --clearmodifiers F11 # "&Ausblenden"

tray_activate "$TRAY_WINDOW_A"
xdotool key ctrl+alt+1
tray_expect_file "$RIG_DIR/a.out" 'Hallo Welt'
xdotool key ctrl+alt+2
tray_expect_file "$RIG_DIR/b.out" 'nach B'
_tray_menu_closed || rig_fail "a combination of an entry opened the menu"

# Another program holds Ctrl+Alt+1 and Ctrl+Alt+3 before a start: one message names both with
# their entries, and the other entries' combinations work.
tray_quit
tray_hold_hotkey Ctrl+Alt+1 Ctrl+Alt+3
rig_spawn kalmotex-again "$TRAY_APP/kalmotex"
tray_expect_message 'Tastenkombination Strg+Alt+1 für den Textbaustein »Brief« wird schon von einem anderen Programm verwendet.' \
    'Die Tastenkombination Strg+Alt+3 für den Textbaustein »Post« wird schon von einem anderen Programm verwendet.'
TRAY_ICON=$(tray_wait_icon) || exit 1
tray_activate "$TRAY_WINDOW_A"
xdotool key ctrl+alt+2
tray_expect_file "$RIG_DIR/b.out" 'nach Bnach B'
tray_expect_file "$RIG_DIR/a.out" 'Hallo Welt'
echo "PASS"
