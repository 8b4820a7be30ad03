#!/usr/bin/env bash
# kalmotex-cli send N, run in the background from a shell as a script would, makes the
# running program send entry N as a click on it in the menu does: into the terminal used
# last, by entry number whatever the menu's order. Refusals and the no-target message
# reach the command's status and its message; without a program it says so and fails.
# kalmotex-cli menu opens the menu.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

# Runs kalmotex-cli ARGS as NAME, if given, and expects its STATUS and exact OUTPUT.
expect_cli()
{
    local status=$1 output=$2
    if [ $# -gt 2 ]; then
        cli_start "${@:3}"
        cli_end "$3"
    fi
    [ "$CLI_STATUS" -eq "$status" ] && [ "$CLI_OUTPUT" = "$output" ] \
        || rig_fail "kalmotex-cli: expected status $status and '$output', got $CLI_STATUS and '$CLI_OUTPUT'"
}

tray_setup
tray_cli add Zeta --text $'zeta\tZ' --crypt 0
tray_cli add Brief --text $'Hallo äöü €\r' --crypt 0
tray_cli add Fern --text 'fern' --title 'Gibt es nicht' --crypt 0
tray_two_terminals
tray_start

# The menu shows Brief first; entry 1 is Zeta.
expect_cli 0 "" send1 send 1
tray_expect_file "$RIG_DIR/a.out" $'zeta\tZ'
expect_cli 0 "" send2 send 2
tray_expect_file "$RIG_DIR/a.out" $'zeta\tZHallo äöü €\r'

# A terminal too busy to read its keys for half a second after the send still gets every
# character, those typed through keycodes the layout lacks included.
xterm_a=$(rig_pid "xterm:Ziel A")
kill -STOP "$xterm_a"
expect_cli 0 "" busy send 2
rig_spawn resume sh -c 'sleep 0.5; exec kill -CONT "$0"' "$xterm_a"
tray_expect_file "$RIG_DIR/a.out" $'zeta\tZHallo äöü €\rHallo äöü €\r'

expect_cli 1 "kalmotex-cli: there is no entry 9" missing send 9
expect_cli 2 "kalmotex-cli: 'zwei' is not an entry number" malformed send zwei

# No window has the entry's title: the program shows its message, and the command waits
# for it to be confirmed.
cli_start notarget send 3
box=$(rig_wait_for_window "Kalmotex")
rig_wait_for_active "$box"
kill -0 "$RIG_LAST_PID" 2>/dev/null || rig_fail "kalmotex-cli ended before the message was confirmed"
tray_keys Return
cli_end notarget
expect_cli 1 "kalmotex-cli: nothing typed: no target window, or the choice was cancelled"
tray_expect_empty "$RIG_DIR/b.out"

# kalmotex-cli menu opens the menu at once, for a desktop's key binding; the entry chosen
# there goes to the terminal used last.
expect_cli 0 "" menu menu
tray_wait_menu_open
tray_keys Down Return
tray_wait_menu_closed
tray_expect_file "$RIG_DIR/a.out" $'zeta\tZHallo äöü €\rHallo äöü €\rHallo äöü €\r'

rig_kill kalmotex
expect_cli 1 "kalmotex-cli: kalmotex is not running on display $DISPLAY (or runs with SingleInstance=0; see kalmotex-cli(1))" gone send 1
tray_expect_file "$RIG_DIR/a.out" $'zeta\tZHallo äöü €\rHallo äöü €\rHallo äöü €\r'
echo "PASS"
