#!/usr/bin/env bash
# A program killed while it has spare keycodes borrowed still gives them back, and one that
# ends normally with the restore still pending gives them back on its way out.
set -euo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/x11_lib.sh"
x11_start_target
"$probe" activate "$target"
"$probe" keymap >"$RIG_DIR/keymap.before"
printf 'Ω✓\n' >"$RIG_DIR/text"

for sig in TERM INT; do
    rm -f "$RIG_DIR/holding"
    # The probe types with the restore deferred far beyond the test, then waits to be killed.
    KX_PROBE_HOLD=1 KX_RESTORE_DELAY_MS=600000 rig_spawn "hold-$sig" sh -c 'exec "$0" type --defer "$1" >"$2"' \
        "$probe" "$RIG_DIR/text" "$RIG_DIR/holding"
    pid=$RIG_LAST_PID
    rig_wait_until "$RIG_TIMEOUT" "the probe to type" grep -q holding "$RIG_DIR/holding"
    "$probe" keymap >"$RIG_DIR/keymap.borrowed"
    cmp -s "$RIG_DIR/keymap.before" "$RIG_DIR/keymap.borrowed" && rig_fail "no keycode was borrowed"
    kill "-$sig" "$pid"
    rig_wait_for_exit "hold-$sig"
    # The server may read the dead program's last request a moment after its end.
    rig_wait_until "$RIG_TIMEOUT" "the keymap to be restored after SIG$sig" \
        eval '"$probe" keymap | cmp -s "$RIG_DIR/keymap.before" -'
done
"$probe" type --defer "$RIG_DIR/text"
rig_wait_until "$RIG_TIMEOUT" "the keymap to be restored after a normal exit" \
    eval '"$probe" keymap | cmp -s "$RIG_DIR/keymap.before" -'
echo "keymap restore on kill passed"
