#!/usr/bin/env bash
# The placeholders that ask, read the clipboard and place the caret, in real sends: the
# program's input box "[Kalmotex] - Eingabe" is answered with the keyboard and the answer
# arrives in the terminal used last, wherever the question stood; Escape there types
# nothing. The text another program put on the clipboard is typed. After "ab%cursor%cd"
# typed into a line editor, a marker typed next lands between b and c.
set -uo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/tray_lib.sh"

# kalmotex-cli send N under NAME in the background; send_end NAME waits for it and sets
# SEND_STATUS.
send_start() { rig_spawn "$1" "$TRAY_CLI_BIN" send "$2"; }
send_end()
{
    local pid
    pid=$(rig_pid "$1")
    rig_wait_for_exit "$1"
    wait "$pid"
    SEND_STATUS=$?
}

# The next input box (another window than the last one), once it has the keyboard.
_new_question_box() { _rig_window_found "[Kalmotex] - Eingabe" && [ "$_RIG_FOUND" != "${QUESTION_BOX:-}" ]; }
wait_for_question()
{
    rig_wait_until "$RIG_TIMEOUT" "an input box '[Kalmotex] - Eingabe'" _new_question_box
    QUESTION_BOX=$_RIG_FOUND
    rig_wait_for_active "$QUESTION_BOX"
}

tray_setup
tray_cli add Frage --text 'Hallo %eingabe=Ihr Name?%, bis %eingabe=Wann?%, %Eingabe=Ihr Name?%!' --crypt 0
tray_cli add Zeile --text 'ab%cursor%cd' --title 'Zeile' --crypt 0
tray_cli add Ablage --text '<%zwischenablage%>' --title 'Ziel A' --crypt 0
tray_two_terminals
tray_start

send_start ask 1
wait_for_question
xdotool type --delay 20 'Eva'
tray_keys Return
wait_for_question
xdotool type --delay 20 'morgen'
tray_keys Return
send_end ask
[ "$SEND_STATUS" -eq 0 ] || rig_fail "kalmotex-cli send 1 ended with $SEND_STATUS"
tray_expect_file "$RIG_DIR/a.out" 'Hallo Eva, bis morgen, Eva!'
rig_wait_for_active "$TRAY_WINDOW_A"

# Cancelled: the command learns that nothing was typed, and nothing was.
send_start cancel 1
wait_for_question
tray_keys Escape
send_end cancel
[ "$SEND_STATUS" -eq 1 ] || rig_fail "a cancelled question: kalmotex-cli send 1 ended with $SEND_STATUS"
tray_expect_file "$RIG_DIR/a.out" 'Hallo Eva, bis morgen, Eva!'

# Another program holds the clipboard: a terminal that took it with OSC 52, as programs in
# terminals copy.
rig_spawn "xterm:Ablage" xterm -u8 -xrm 'XTerm*allowWindowOps: true' -T Ablage \
    -e sh -c 'printf "\033]52;c;%s\007" "$(printf "Ablage äö" | base64)"; exec cat'
_clipboard_holds() { [ "$("$RIG_PROBE" clipboard CLIPBOARD 2>/dev/null)" = "$1" ]; }
rig_wait_until "$RIG_TIMEOUT" "the terminal's text on the clipboard" _clipboard_holds 'Ablage äö'
send_start paste 3
send_end paste
[ "$SEND_STATUS" -eq 0 ] || rig_fail "kalmotex-cli send 3 ended with $SEND_STATUS"
tray_expect_file "$RIG_DIR/a.out" 'Hallo Eva, bis morgen, Eva!<Ablage äö>'

# A line editor where Left moves the caret: bash's readline; Return writes the line out.
LC_ALL=C.UTF-8 LANG=C.UTF-8 rig_spawn "xterm:Zeile" xterm -u8 -fa 'DejaVu Sans Mono' -fs 10 -T Zeile \
    -e bash --norc --noprofile -c 'IFS= read -r -e line && printf %s "$line" >"$0"' "$RIG_DIR/line.out"
line_xterm=$RIG_LAST_PID
line_window=$(rig_wait_for_window Zeile) || exit 1
# Keys typed before readline switches the terminal out of line mode could be taken as a
# whole line.
_line_editor_ready()
{
    local shell tty
    shell=$(pgrep -P "$line_xterm" | head -n 1) && [ -n "$shell" ] \
        && tty=$(readlink "/proc/$shell/fd/0") && stty -F "$tty" -a 2>/dev/null | grep -q -- '-icanon'
}
rig_wait_until "$RIG_TIMEOUT" "readline to wait for a line in 'Zeile'" _line_editor_ready

send_start caret 2
send_end caret
[ "$SEND_STATUS" -eq 0 ] || rig_fail "kalmotex-cli send 2 ended with $SEND_STATUS"
rig_wait_for_active "$line_window"
xdotool type --delay 20 'X'
tray_keys Return
tray_expect_file "$RIG_DIR/line.out" 'abXcd'
echo "PASS"
