#!/usr/bin/env bash
# A right press opens the same menu; "&Abbrechen" and a click outside change nothing;
# "&Bearbeiten" shows the main window; "B&eenden" ends the program. A double click on the
# icon never leaves two menus behind. A click while another client holds the keyboard (a
# window manager's key chain, another program's menu) opens the menu all the same, and the
# menu takes the keyboard as soon as the other client lets go: the keys typed then reach it.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup
tray_cli add Zweiter --text 2 --crypt 0
tray_cli add Erster --text 1 --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
tray_start

tray_open_menu 3
tray_keys Down Return
tray_expect_file "$RIG_DIR/ziel.out" "1"

tray_open_menu 3
tray_keys a # "&Abbrechen"
tray_wait_menu_closed

tray_open_menu 1
xdotool mousemove 300 300 click 1
tray_wait_menu_closed

# Two presses in quick succession: the second reaches the program while the first one's
# menu is open (or opening) and must not open another.
xdotool mousemove --window "$TRAY_ICON" 4 4 click --repeat 2 --delay 40 1
if _tray_menu_open; then
    tray_keys Escape
    tray_wait_menu_closed
fi

# Nothing of the above typed anything or showed the main window.
[ "$(cat "$RIG_DIR/ziel.out")" = "1" ] || rig_fail "something was typed: $(od -An -c "$RIG_DIR/ziel.out")"
[ -z "$(xdotool search --onlyvisible --name '^\[Kalmotex\]$')" ] || rig_fail "main window shown"

rig_spawn holder sh -c 'exec "$0" grab-keyboard 600000 >"$1"' "$RIG_PROBE" "$RIG_DIR/holding"
rig_wait_until "$RIG_TIMEOUT" "the other client to hold the keyboard" grep -q grabbed "$RIG_DIR/holding"
tray_open_menu 1
rig_kill holder
# Nobody else can have the keyboard once the menu holds it.
menu_holds_keyboard() { ! "$RIG_PROBE" grab-keyboard 0; }
rig_wait_until "$RIG_TIMEOUT" "the menu to take the keyboard" menu_holds_keyboard
tray_keys Down Return
tray_expect_file "$RIG_DIR/ziel.out" "11"

tray_open_menu 1
tray_keys b # "&Bearbeiten"
rig_wait_for_window "[Kalmotex]" >/dev/null

tray_quit
echo "PASS"
