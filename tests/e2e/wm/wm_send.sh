#!/usr/bin/env bash
# Under the window manager $KX_WM: kalmotex-cli send types an entry into the terminal used
# last, another into the terminal its title names, and then the first one into that
# terminal, now the one used last. The program's debug output says how each activation was
# confirmed; none may have run into its bound.
set -uo pipefail
source "$RIG_LIB"
source "$KX_SOURCE_DIR/tests/e2e/tray/tray_lib.sh"

send()
{
    "$TRAY_CLI_BIN" send "$1" >"$RIG_DIR/cli.out" 2>&1 || rig_fail "kalmotex-cli send $1 under $KX_WM: $(cat "$RIG_DIR/cli.out")"
}

rig_start --wm "$KX_WM"
tray_prepare
tray_cli add Zuletzt --text 'eins' --crypt 0
tray_cli add Titel --text 'zwei' --title 'Ziel B' --crypt 0
# Debug mode: the main window stays open (there is no tray) and the activations are named
# on stderr.
rig_spawn kalmotex "$TRAY_APP/kalmotex" debug
rig_wait_for_window "[Kalmotex]" >/dev/null
rig_xterm "Ziel A" "$RIG_DIR/a.out"
window_a=$RIG_LAST_WINDOW
rig_xterm "Ziel B" "$RIG_DIR/b.out"
rig_use_window "$window_a"

send 1
tray_expect_file "$RIG_DIR/a.out" 'eins'
send 2
tray_expect_file "$RIG_DIR/b.out" 'zwei'
send 1
tray_expect_file "$RIG_DIR/b.out" 'zweieins'
tray_expect_file "$RIG_DIR/a.out" 'eins'

log=$RIG_DIR/kalmotex.log
activations=$(grep '^activate ' "$log")
echo "$activations"
! grep -q 'timed out\|typing anyway\|ignored by' "$log" || rig_fail "an activation was not confirmed under $KX_WM: $(cat "$log")"
[ "$(grep -c 'confirmed by \|active already' <<<"$activations")" -eq 3 ] \
    || rig_fail "expected three confirmed activations under $KX_WM, the debug output has: $activations"
echo "PASS"
