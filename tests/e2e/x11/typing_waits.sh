#!/usr/bin/env bash
# Typing waits until a held Ctrl is released, so the text arrives unchanged instead of as
# shortcuts; and until another client that holds the keyboard (as a menu's does when it
# closes just before the send) lets go, as the keys would go to that client. A program
# killed while it has spare keycodes borrowed still gives them back, and one that ends
# normally with the restore still pending gives them back on its way out.
set -euo pipefail
source "$(dirname "$0")/x11_lib.sh"
x11_start_target
"$probe" activate "$target"
"$probe" keymap >"$RIG_DIR/keymap.before"
printf 'cdq Text\n' >"$RIG_DIR/text"

# The user and the menu let go 300 ms later: this is the scenario, not a wait for a condition.
xdotool keydown ctrl
rig_spawn release sh -c 'sleep 0.3; xdotool keyup ctrl'
"$probe" type "$RIG_DIR/text"
rig_wait_for_file_bytes "$RIG_DIR/target" 9
[ "$(cat "$RIG_DIR/target")" = $'cdq Text\r' ] || rig_fail "held Ctrl changed the text: $(od -c "$RIG_DIR/target")"

rig_spawn holder sh -c 'exec "$0" grab-keyboard 300 >"$1"' "$probe" "$RIG_DIR/holding"
rig_wait_until "$RIG_TIMEOUT" "the other client to hold the keyboard" grep -q grabbed "$RIG_DIR/holding"
"$probe" type "$RIG_DIR/text"
rig_wait_for_file_bytes "$RIG_DIR/target" 18
[ "$(cat "$RIG_DIR/target")" = $'cdq Text\rcdq Text\r' ] || rig_fail "typed during the grab: $(od -c "$RIG_DIR/target")"

printf 'Ω✓\n' >"$RIG_DIR/text"
keymap_restored() { "$probe" keymap | cmp -s "$RIG_DIR/keymap.before" -; }
for sig in TERM INT; do
    rm -f "$RIG_DIR/holding"
    # The probe types with the restore deferred far beyond the test, then waits to be killed.
    KX_PROBE_HOLD=1 KX_RESTORE_DELAY_MS=600000 rig_spawn "hold-$sig" sh -c 'exec "$0" type --defer "$1" >"$2"' \
        "$probe" "$RIG_DIR/text" "$RIG_DIR/holding"
    pid=$RIG_LAST_PID
    rig_wait_until "$RIG_TIMEOUT" "the probe to type" grep -q holding "$RIG_DIR/holding"
    keymap_restored && rig_fail "no keycode was borrowed"
    kill "-$sig" "$pid"
    rig_wait_for_exit "hold-$sig"
    # The server may read the dead program's last request a moment after its end.
    rig_wait_until "$RIG_TIMEOUT" "the keymap to be restored after SIG$sig" keymap_restored
done
"$probe" type --defer "$RIG_DIR/text"
rig_wait_until "$RIG_TIMEOUT" "the keymap to be restored after a normal exit" keymap_restored
echo "typing waits passed"
