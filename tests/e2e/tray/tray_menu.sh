#!/usr/bin/env bash
# A right press opens the same menu; "&Abbrechen" and a click outside change nothing;
# "&Bearbeiten" shows the main window; "B&eenden" ends the program. A double click on the
# icon never leaves two menus behind.
set -uo pipefail
source "$RIG_LIB"
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

tray_open_menu 1
tray_keys b # "&Bearbeiten"
rig_wait_for_window "[Kalmotex]" >/dev/null

tray_quit
echo "PASS"
