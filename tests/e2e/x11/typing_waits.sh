#!/usr/bin/env bash
# Typing waits until a held Ctrl is released, so the text arrives unchanged instead of as
# shortcuts; and until another client that holds the keyboard (as a menu's does when it
# closes just before the send) lets go, as the keys would go to that client.
set -euo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/x11_lib.sh"
x11_start_target
"$probe" activate "$target"
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
echo "typing waits passed"
