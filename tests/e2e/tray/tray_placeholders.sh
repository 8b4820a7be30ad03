#!/usr/bin/env bash
# The placeholders that ask, read the clipboard and place the caret, in real sends: the
# program's input box "[Kalmotex] - Eingabe" is answered with the keyboard and the answers
# arrive in the terminal used last, wherever the questions stood; Escape there types
# nothing. The text another program put on the clipboard is typed. After "ab%cursor%cd"
# typed into a line editor, a marker typed next lands between b and c.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

# Types TEXT into the next input box (another window than the last one) once it has the
# keyboard, then KEY (Return).
_new_question_box() { _rig_window_found "[Kalmotex] - Eingabe" && [ "$_RIG_FOUND" != "${QUESTION_BOX:-}" ]; }
answer_question()
{
    rig_wait_until "$RIG_TIMEOUT" "an input box '[Kalmotex] - Eingabe'" _new_question_box
    QUESTION_BOX=$_RIG_FOUND
    rig_wait_for_active "$QUESTION_BOX"
    xdotool type --delay 20 "$1"
    tray_keys "${2:-Return}"
}

tray_setup
tray_cli add Frage --text 'Hallo %eingabe=Ihr Name?%, bis %eingabe=Wann?%, %Eingabe=Ihr Name?%!' --crypt 0
tray_cli add Zeile --text 'ab%cursor%cd' --title 'Zeile' --crypt 0
tray_cli add Ablage --text '<%zwischenablage%>' --title 'Ziel A' --crypt 0
tray_two_terminals
tray_start
# The main window open below the terminal: a window manager that raises a dialog's parent
# with it must not make it the last used window.
tray_open_main_window
tray_activate "$TRAY_WINDOW_A"

cli_start ask send 1
answer_question 'Eva'
answer_question 'morgen'
cli_end ask 0
tray_expect_file "$RIG_DIR/a.out" 'Hallo Eva, bis morgen, Eva!'
cli_start cancel send 1
answer_question 'Eva' Escape
cli_end cancel 1

# A line editor where Left moves the caret (bash's readline; Return writes the line out),
# in a terminal that takes the clipboard with OSC 52 first, as programs in terminals copy.
rig_spawn "xterm:Zeile" xterm -u8 -xrm 'XTerm*allowWindowOps: true' -T Zeile -e bash --norc --noprofile -c \
    'printf "\033]52;c;%s\007" "$(printf "Ablage äö" | base64)"; IFS= read -r -e l && printf %s "$l" >"$0"' \
    "$RIG_DIR/line.out"
line_xterm=$RIG_LAST_PID
line_window=$(rig_wait_for_window Zeile) || exit 1
_clipboard_holds() { [ "$("$RIG_PROBE" clipboard CLIPBOARD 2>/dev/null)" = "$1" ]; }
rig_wait_until "$RIG_TIMEOUT" "the terminal's text on the clipboard" _clipboard_holds 'Ablage äö'
cli_ok paste send 3
tray_expect_file "$RIG_DIR/a.out" 'Hallo Eva, bis morgen, Eva!<Ablage äö>'

# Keys typed before readline takes the terminal out of line mode could be read as a line.
_readline_waits() { stty -F "$(readlink "/proc/$(pgrep -P "$line_xterm")/fd/0")" -a 2>/dev/null | grep -q -- -icanon; }
rig_wait_until "$RIG_TIMEOUT" "readline to wait for a line in 'Zeile'" _readline_waits
cli_ok caret send 2
rig_wait_for_active "$line_window"
xdotool type --delay 20 'X'
tray_keys Return
tray_expect_file "$RIG_DIR/line.out" 'abXcd'
echo "PASS"
