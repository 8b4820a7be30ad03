#!/usr/bin/env bash
# The running program follows a change of window manager: openbox (EWMH: stacking list,
# activation requests) is replaced by twm (no EWMH at all, while openbox's properties may
# linger on the root), and sends to the window used last and by title still arrive, with
# activations confirmed the way twm allows.
set -uo pipefail
source "$KX_SOURCE_DIR/tests/e2e/wm/wm_lib.sh"

wm_start openbox
wm_send 1
tray_expect_file "$RIG_DIR/a.out" 'eins'

rig_kill openbox
rig_wait_until "$RIG_TIMEOUT" "openbox to let go of the windows" eval '! xwininfo -root -events | grep -q SubstructureRedirect'
_rig_spawn_wm twm
RIG_WM=twm
rig_wait_until "$RIG_TIMEOUT" "twm (substructure redirect on the root)" _rig_wm_redirects
rig_wait_for_wm_idle
rig_use_window "$window_a"
wm_send 2
tray_expect_file "$RIG_DIR/b.out" 'zwei'
rig_use_window "$window_a"
wm_send 1
tray_expect_file "$RIG_DIR/a.out" 'einseins'

activations=$(grep '^activate ' "$RIG_DIR/kalmotex.log")
echo "$activations"
! grep -q 'timed out\|typing anyway\|ignored by' "$RIG_DIR/kalmotex.log" || rig_fail "an activation was not confirmed: $activations"
grep -q "'Ziel B': XSetInputFocus, confirmed by" <<<"$activations" || rig_fail "twm's way was not taken: $activations"
echo "PASS"
