#!/usr/bin/env bash
# The window debugger lists the terminal a send went to, and putting its title on the
# ignore list stores it; the window-list monitor of debug mode lists the terminal with its
# window id. KX_SCREENSHOT_DIR=folder keeps a picture of the open debugger there.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/../tray/tray_lib.sh"

TITLE=Zielterminal
ignored_title_stored() { grep -q "^2=$TITLE"$'\r'"\$" "$TRAY_INI"; }

tray_setup
tray_cli add Gruss --text Hallo --crypt 0
rig_xterm "$TITLE" "$RIG_DIR/ziel.out"
terminal=$RIG_LAST_WINDOW
tray_start

# A send to the window used last: the debugger then shows the terminal as the last line.
tray_open_menu 1
tray_keys Down Return
tray_expect_file "$RIG_DIR/ziel.out" "Hallo"
tray_open_main_window
main=$TRAY_MAIN
xdotool key --clearmodifiers alt+g # "Debu&g"
debugger=$(rig_wait_for_window "[Kalmotex] - Debugger") || exit 1
rig_wait_for_active "$debugger"
xdotool key End # the list has the focus: mark its last line
if [ -n "${KX_SCREENSHOT_DIR:-}" ]; then
    import -display "$DISPLAY" -window "$debugger" "$KX_SCREENSHOT_DIR/debugger.png"
fi
xdotool key --clearmodifiers alt+m # "&Markierten Titel in Zukunft ignorieren"
question=$(rig_wait_for_window "Kalmotex") || exit 1
rig_wait_for_active "$question"
xdotool key Return # "Ja", the default button
rig_wait_until "$RIG_TIMEOUT" "the terminal's title in section Ignore" ignored_title_stored

# "Beenden" closes the debugger with the program.
tray_activate "$main"
xdotool key --clearmodifiers alt+d
xdotool key b
tray_wait_exited
rig_wait_for_no_window "[Kalmotex] - Debugger"

# Debug mode: the monitor opens with the main window. The terminal goes on top, the monitor
# takes the keyboard without being raised, so the terminal is the list's last line.
rig_spawn kalmotex-debug "$TRAY_APP/kalmotex" debug
main=$(rig_wait_for_window "[Kalmotex]") || exit 1
monitor=$(rig_wait_for_window "QZDEBUGFRM") || exit 1
tray_activate "$terminal"
expected=$(printf "[0-9]{3} %08X V '%s'" "$terminal" "$TITLE")

# Marks the last line, copies it (Ctrl+C) and pastes it into the terminal (Shift+Insert).
# A refresh between the keys empties the mark; the next try gets it.
monitor_line_pasted()
{
    xdotool windowfocus --sync "$monitor" >/dev/null 2>&1
    rig_wait_for_active "$monitor"
    xdotool key End ctrl+c
    xdotool windowfocus --sync "$terminal" >/dev/null 2>&1
    rig_wait_for_active "$terminal"
    xdotool key shift+Insert
    grep -qE "$expected" "$RIG_DIR/ziel.out"
}
rig_wait_until "$RIG_TIMEOUT" "the monitor's line of the terminal ($expected)" monitor_line_pasted

# "Beenden" closes the monitor with the program.
tray_activate "$main"
xdotool key --clearmodifiers alt+d
xdotool key b
rig_wait_for_exit kalmotex-debug
rig_wait_for_no_window "QZDEBUGFRM"
echo "PASS"
