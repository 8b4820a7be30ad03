#!/usr/bin/env bash
# With the configuration as it comes, Ctrl+Alt+V in a terminal opens the popup menu at the
# mouse pointer while the terminal stays the active window; the entry chosen by keys or by
# a click is typed into that terminal; Escape sends nothing. Num Lock and Caps Lock being on
# change nothing.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"

tray_setup
tray_cli add Zeta --text 'zuletzt' --crypt 0
tray_cli add Brief --text $'Hallo Welt\räöü €' --crypt 0
grep -qi '^Hotkey' "$TRAY_INI" && rig_fail "the test wants the default hotkey, the file names one"

tray_two_terminals
window_a=$TRAY_WINDOW_A
tray_start

active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p'; }

menu_geometry()
{
    xwininfo -id "$(xdotool search --onlyvisible --name "^${TRAY_MENU_TITLE}\$" | head -n 1)" \
        | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

# Opens the menu with the hotkey at the pointer (X, Y); checks where it opened and that the
# terminal kept the focus.
open_menu_with_hotkey()
{
    local x=$1 y=$2
    xdotool mousemove "$x" "$y"
    xdotool key ctrl+alt+v
    tray_wait_menu_open
    [ "$(menu_geometry)" = "$x $y" ] || rig_fail "menu at '$(menu_geometry)', pointer at '$x $y'"
    [ $(($(active_window))) -eq "$window_a" ] || rig_fail "the menu took the focus: active $(active_window)"
}

# Sorted: Brief, Zeta, -, &Bearbeiten, -, &Abbrechen, B&eenden.
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

# Lock keys add modifiers to the key event; the hotkey must not depend on them.
xdotool key Num_Lock Caps_Lock
open_menu_with_hotkey 300 200
tray_keys Escape
tray_wait_menu_closed
xdotool key Num_Lock Caps_Lock

# Escape closed the menu without a send; choosing from the bottom up, over the separators,
# reaches the last entry.
open_menu_with_hotkey 300 200
tray_keys Up Up Up Up Return
tray_wait_menu_closed
expected+='zuletzt'
tray_expect_file "$RIG_DIR/a.out" "$expected"
tray_expect_empty "$RIG_DIR/b.out"
echo "PASS"
