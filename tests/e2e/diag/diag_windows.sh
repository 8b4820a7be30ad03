#!/usr/bin/env bash
# The window debugger lists the terminal a send went to, and putting its title on the
# ignore list stores it; the window-list monitor of debug mode lists the terminal with its
# window id, the hidden main window with its title and the tray's dock. In the main window
# of debug mode, an entry typed with Enter and Tab is stored as those keys when the window
# is hidden; "Beenden" ends the program.
set -uo pipefail
source "$(dirname "$0")/../tray/tray_lib.sh"

TITLE=Zielterminal
ignored_title_stored() { grep -q "^2=$TITLE"$'\r'"\$" "$TRAY_INI"; }

tray_setup
tray_cli add Gruss --text Hallo --crypt 0
rig_xterm "$TITLE" "$RIG_DIR/ziel.out"
terminal=$RIG_LAST_WINDOW
tray_start

# A send to the window used last: the debugger then shows the terminal as the last line.
tray_choose Down Return
tray_expect_file "$RIG_DIR/ziel.out" "Hallo"
tray_open_main_window
main=$TRAY_MAIN
xdotool key --clearmodifiers alt+g # "Debu&g"
debugger=$(rig_wait_for_window "[Kalmotex] - Debugger") || exit 1
rig_wait_for_active "$debugger"
xdotool key End # the list has the focus: mark its last line
xdotool key --clearmodifiers alt+m # "&Markierten Titel in Zukunft ignorieren"
question=$(rig_wait_for_window "Kalmotex") || exit 1
rig_wait_for_active "$question"
xdotool key Return # "Ja", the default button
rig_wait_until "$RIG_TIMEOUT" "the terminal's title in section Ignore" ignored_title_stored

# "Beenden" ends the program with the debugger open (its windows go with it).
tray_activate "$main"
xdotool key --clearmodifiers alt+d
xdotool key b
rig_wait_for_exit kalmotex

# Debug mode: the monitor opens with the main window; its title bar shows the program's
# icon and, as it is fixed in size, no maximise button.
rig_spawn kalmotex-debug "$TRAY_APP/kalmotex" debug
main=$(rig_wait_for_window "[Kalmotex]") || exit 1
monitor=$(rig_wait_for_window "QZDEBUGFRM") || exit 1
# Read whole before matching: grep -q ending early would fail xprop's pipe (pipefail).
icon=$(xprop -id "$monitor" _NET_WM_ICON)
[[ $icon == *"Icon ("* ]] || rig_fail "the monitor has no icon of its own"
actions_known() { [[ $(xprop -id "$monitor" _NET_WM_ALLOWED_ACTIONS) == *_NET_WM_ACTION_CLOSE* ]]; }
rig_wait_until "$RIG_TIMEOUT" "the window manager's actions for the monitor" actions_known
[[ $(xprop -id "$monitor" _NET_WM_ALLOWED_ACTIONS) != *MAXIMIZE* ]] || rig_fail "the monitor can be maximised"

# A new entry, its text typed with Enter and Tab; F11 hides the window and stores the text.
stored_text() { "$TRAY_CLI_BIN" --config "$TRAY_INI" show 2 --json 2>/dev/null | grep -qF "\"text\":\"$1\""; }
tray_activate "$main"
xdotool key --clearmodifiers alt+n
rig_wait_for_window "[Kalmotex] - Neuen Eintrag erstellen" >/dev/null
xdotool type --delay 0 "Probe"
xdotool key Return
rig_wait_for_no_window "[Kalmotex] - Neuen Eintrag erstellen"
rig_wait_for_active "$main"
xdotool type --delay 0 "Hallo"
xdotool key Return
xdotool type --delay 0 "Welt"
xdotool key Tab
xdotool type --delay 0 "!"
xdotool key F11
rig_wait_for_no_window "[Kalmotex]"
rig_wait_until "$RIG_TIMEOUT" "the text stored with Enter and Tab" stored_text 'Hallo\rWelt\t!'

# The monitor shows hidden windows too: the main window first, with its title, then
# everything above it, the tray's dock included.
scale=${QT_SCALE_FACTOR:-1}
xdotool mousemove --window "$monitor" $((90 * scale)) $((400 * scale)) click 1 # "visible only"
tray_activate "$terminal"
panel=$(xdotool search --onlyvisible --class '^trayer$' | head -n 1)
expected_main=$(printf "[0-9]{3} %08X X '\\[Kalmotex\\]'" "$main")
expected_dock=$(printf "[0-9]{3} %08X V '" "$panel")
expected=$(printf "[0-9]{3} %08X V '%s'" "$terminal" "$TITLE")

# Marks a line, copies it (Ctrl+C) and pastes it into the terminal (Shift+Insert). The keys
# go in one burst, as the list refreshes every second and a refresh empties the mark; the
# next try gets it.
monitor_line_pasted()
{
    local keys=$1 pattern=$2
    xdotool windowfocus --sync "$monitor" >/dev/null 2>&1
    rig_wait_for_active "$monitor"
    xdotool key --delay 0 $keys ctrl+c
    xdotool windowfocus --sync "$terminal" >/dev/null 2>&1
    rig_wait_for_active "$terminal"
    xdotool key shift+Insert
    grep -qE "$pattern" "$RIG_DIR/ziel.out"
}
# The hidden main window first, the dock on top, the terminal just below the monitor or
# the dock.
rig_wait_until "$RIG_TIMEOUT" "the hidden main window's line ($expected_main)" \
    monitor_line_pasted "Home Down" "$expected_main"
rig_wait_until "$RIG_TIMEOUT" "the dock's line ($expected_dock)" monitor_line_pasted End "$expected_dock"
terminal_line_pasted() { monitor_line_pasted "End Up" "$expected" || monitor_line_pasted "End Up Up" "$expected"; }
rig_wait_until "$RIG_TIMEOUT" "the terminal's line ($expected)" terminal_line_pasted

# "Beenden" ends the program with the monitor open; a second start shows its main window.
rig_spawn second-start "$TRAY_APP/kalmotex"
rig_wait_for_exit second-start
main=$(rig_wait_for_window "[Kalmotex]") || exit 1
tray_activate "$main"
xdotool key --clearmodifiers alt+d
xdotool key b
rig_wait_for_exit kalmotex-debug
echo "PASS"
