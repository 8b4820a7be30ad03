#!/usr/bin/env bash
# Typing waits until a held Ctrl is released, so the text arrives unchanged instead of as
# shortcuts.
set -euo pipefail
source "$RIG_LIB"
source "$(dirname "$0")/x11_lib.sh"
x11_start_target
"$probe" activate "$target"
printf 'cdq Text\n' >"$RIG_DIR/text"

xdotool keydown ctrl
# The user lets go 300 ms later: this is the scenario, not a wait for a condition.
rig_spawn release sh -c 'sleep 0.3; xdotool keyup ctrl'
"$probe" type "$RIG_DIR/text"
rig_wait_for_file_bytes "$RIG_DIR/target" 9
[ "$(cat "$RIG_DIR/target")" = $'cdq Text\r' ] || rig_fail "text changed: $(od -c "$RIG_DIR/target")"
echo "held modifier passed"
