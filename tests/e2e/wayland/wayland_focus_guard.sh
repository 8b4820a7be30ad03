#!/usr/bin/env bash
# A long entry is being typed into foot A when the user turns to foot B: typing stops, and the
# program says why. The compositor is asked for the focus between batches of 64 keys, so a
# batch sent as the focus moves may reach B, but nothing after it: A and then B hold a strict
# beginning of the text.
set -uo pipefail
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

# Nothing follows once B has its marker.
wl_focus ziel-b
wtype ENDE
b_has_marker() { [ "$(tail -c 4 "$RIG_DIR/b.out" 2>/dev/null)" = ENDE ]; }
rig_wait_until "$RIG_TIMEOUT" "the marker in B" b_has_marker
received=$(cat "$RIG_DIR/b.out")
spill=${received%ENDE}
[ ${#spill} -le 64 ] || rig_fail "B received ${#spill} characters of the text, more than a batch"
typed=$(cat "$RIG_DIR/a.out")$spill
[ ${#typed} -gt 0 ] && [ ${#typed} -lt ${#text} ] || rig_fail "A and B hold ${#typed} of ${#text} characters"
[ "$typed" = "${text:0:${#typed}}" ] || rig_fail "A and B do not hold the beginning of the text: ${typed:0:80}"
echo "PASS"
