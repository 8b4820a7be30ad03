#!/usr/bin/env bash
# The main window in a real X server (debug mode, so no tray is needed): an entry typed
# with Enter and Tab is stored as those keys when the window is hidden; "Beenden" ends the
# program. (That the close box only hides the window, tray_second_start shows.)
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"

rig_start
tray_prepare
APP=$TRAY_APP INI=$TRAY_INI CLI=$TRAY_CLI_BIN

running() { [ -e "/proc/$1" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }
ended() { ! running "$1"; }
stored_text() { "$CLI" --config "$INI" show 1 --json 2>/dev/null | grep -qF "\"text\":\"$1\""; }

start_main_window()
{
    rig_spawn kalmotex "$APP/kalmotex" debug
    PID=$RIG_LAST_PID
    WIN=$(rig_wait_for_window "[Kalmotex]") || rig_fail "the main window did not open"
    tray_activate "$WIN"
}

# A new entry, its text typed with Enter and Tab; F11 hides the window and stores the text.
start_main_window
xdotool key --clearmodifiers alt+n
rig_wait_for_window "[Kalmotex] - Neuen Eintrag erstellen" >/dev/null
xdotool type --delay 0 "Probe"
xdotool key Return
rig_wait_for_no_window "[Kalmotex] - Neuen Eintrag erstellen"
rig_wait_for_active "$WIN"
xdotool type --delay 0 "Hallo"
xdotool key Return
xdotool type --delay 0 "Welt"
xdotool key Tab
xdotool type --delay 0 "!"
xdotool key F11
rig_wait_for_no_window "[Kalmotex]"
rig_wait_until "$RIG_TIMEOUT" "the text stored with Enter and Tab" stored_text 'Hallo\rWelt\t!'
running "$PID" || rig_fail "the program ended when its window was hidden"
rig_kill kalmotex

# "Datei" > "Beenden" ends it.
start_main_window
xdotool key --clearmodifiers alt+d
xdotool key b
rig_wait_until "$RIG_TIMEOUT" "the program to end" ended "$PID"
stored_text 'Hallo\rWelt\t!' || rig_fail "the stored text changed"
echo "PASS"
