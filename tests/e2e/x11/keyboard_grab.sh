#!/usr/bin/env bash
# Keys typed while another client holds the keyboard would go to that client: typing waits
# until the grab ends (as a menu's does when it closes just before the send), and then
# every character arrives in the target.
set -euo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/x11_lib.sh"
x11_start_target
"$probe" activate "$target"
printf 'nach dem Griff\n' >"$RIG_DIR/text"
# The menu lets go 300 ms later: this is the scenario, not a wait for a condition.
rig_spawn holder sh -c 'exec "$0" grab-keyboard 300 >"$1"' "$probe" "$RIG_DIR/holding"
rig_wait_until "$RIG_TIMEOUT" "the other client to hold the keyboard" grep -q grabbed "$RIG_DIR/holding"
"$probe" type "$RIG_DIR/text"
rig_wait_for_file_bytes "$RIG_DIR/target" 15
[ "$(cat "$RIG_DIR/target")" = $'nach dem Griff\r' ] || rig_fail "typed: $(od -c "$RIG_DIR/target")"
echo "keyboard grab passed"
