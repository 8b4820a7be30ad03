#!/usr/bin/env bash
# Another program holds Ctrl+Alt+V before the start: the program says so in a message box
# at start-up and goes on without it: the tray's menu still opens, and the combination
# stays with the other program.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"

tray_setup
tray_cli add Brief --text 'Hallo' --crypt 0
rig_xterm "Ziel" "$RIG_DIR/ziel.out"
terminal=$RIG_LAST_WINDOW

rig_spawn holder sh -c 'exec "$0" grab-hotkey Ctrl+Alt+V >"$1"' "$RIG_PROBE" "$RIG_DIR/holder.out"
rig_wait_until "$RIG_TIMEOUT" "the other program to hold Ctrl+Alt+V" grep -q grabbed "$RIG_DIR/holder.out"

rig_spawn kalmotex "$TRAY_APP/kalmotex"
TRAY_PID=$RIG_LAST_PID
box=$(rig_wait_for_window "Kalmotex") || exit 1
# The message box is the active window and names the combination in German (the selection
# starts inside the first word); Enter closes it.
rig_wait_for_active "$box"
message=$(tray_message_text "$box" 'anderen Programm')
grep -q 'Tastenkombination Strg+Alt+V wird schon von einem anderen Programm verwendet.' <<<"$message" \
    || rig_fail "unexpected message: $message"
xdotool key Return
rig_wait_for_no_window "Kalmotex"

# The program runs on: its icon opens the menu.
TRAY_ICON=$(tray_wait_icon) || exit 1
tray_open_menu 1
tray_keys Escape
tray_wait_menu_closed

# The combination reaches the other program, not ours.
tray_activate "$terminal"
xdotool key ctrl+alt+v
rig_wait_until "$RIG_TIMEOUT" "the other program to get the press" grep -q pressed "$RIG_DIR/holder.out"
# A key goes to one grabbing client only: no menu of ours opened.
_tray_menu_closed || rig_fail "the program opened its menu on a combination it does not hold"
echo "PASS"
