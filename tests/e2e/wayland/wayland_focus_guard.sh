#!/usr/bin/env bash
# A long entry is being typed into foot A when the user turns to foot B: typing stops, A holds
# a strict beginning of the text and nothing after it, B gets nothing, and the program says why.
set -uo pipefail
source "$RIG_LIB"
source "$KX_SOURCE_DIR/tests/e2e/tray/tray_lib.sh"
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
text=
for ((i = 0; ${#text} < 30000; i++)); do
    text+=$(printf '%05d-abcdefghijklmnopqrstuvwxyzΩ' "$i")
done
text=${text:0:30000}
printf '%s' "$text" >"$RIG_DIR/text"
tray_cli add Lang --text-file "$RIG_DIR/text" --title 'ziel-a' --crypt 0
wl_foot ziel-b "$RIG_DIR/b.out"
wl_foot ziel-a "$RIG_DIR/a.out"
wl_start

cli_start long send 1
rig_wait_for_file_bytes "$RIG_DIR/a.out" 500
# The message takes the focus from B as soon as the program sees the change.
swaymsg '[app_id="ziel-b"] focus' >/dev/null || rig_fail "sway could not focus ziel-b"
rig_wait_until "$RIG_TIMEOUT" "the message about the lost focus" _wl_focused_title_is Kalmotex
wtype -k Return
cli_end long

# A holds a beginning of the text and nothing more: the size stays once B has its marker.
wl_focus ziel-b
wtype ENDE
rig_wait_for_file_bytes "$RIG_DIR/b.out" 4
[ "$(cat "$RIG_DIR/b.out")" = ENDE ] || rig_fail "B received more than the marker: $(head -c 200 "$RIG_DIR/b.out")"
typed=$(cat "$RIG_DIR/a.out")
[ ${#typed} -gt 0 ] && [ ${#typed} -lt ${#text} ] || rig_fail "A holds ${#typed} of ${#text} characters"
[ "$typed" = "${text:0:${#typed}}" ] || rig_fail "A does not hold the beginning of the text: ${typed:0:80}"
echo "PASS"
