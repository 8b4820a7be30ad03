#!/usr/bin/env bash
# Under the window manager $KX_WM: kalmotex-cli send types an entry into the terminal used
# last, another into the terminal its title names, and then the first one into that
# terminal, now the one used last. The program's debug output says how each activation was
# confirmed; none may have run into its bound.
set -uo pipefail
source "$KX_SOURCE_DIR/tests/e2e/wm/wm_lib.sh"

wm_start "$KX_WM"

wm_send 1
tray_expect_file "$RIG_DIR/a.out" 'eins'
wm_send 2
tray_expect_file "$RIG_DIR/b.out" 'zwei'
wm_send 1
tray_expect_file "$RIG_DIR/b.out" 'zweieins'
tray_expect_file "$RIG_DIR/a.out" 'eins'

log=$RIG_DIR/kalmotex.log
activations=$(grep '^activate ' "$log")
echo "$activations"
! grep -q 'timed out\|typing anyway\|ignored by' "$log" || rig_fail "an activation was not confirmed under $KX_WM: $(cat "$log")"
[ "$(grep -c 'confirmed by \|active already' <<<"$activations")" -eq 3 ] \
    || rig_fail "expected three confirmed activations under $KX_WM, the debug output has: $activations"
echo "PASS"
