#!/usr/bin/env bash
# A long entry is being typed into xterm A when the user activates xterm B: typing stops at
# once, A holds exactly the part the message counts, B gets nothing, the keymap changed for
# a character the layout lacks is given back, and the program goes on working.
set -uo pipefail
source "$(dirname "$0")/tray_lib.sh"

tray_setup

# 30,000 characters (a value holds at most 32,766): numbered blocks, with an Omega, which no
# layout of the rig types, every 500 characters.
text=
for ((i = 0; ${#text} < 30000; i++)); do
    block=$(printf '%05d-abcdefghijklmnopqrstuvwxyz' "$i")
    ((i % 16 == 15)) && block="${block:0:31}Ω"
    text+=$block
done
text=${text:0:30000}
printf '%s' "$text" >"$RIG_DIR/text"
tray_cli add Lang --text-file "$RIG_DIR/text" --title 'Ziel A' --crypt 0

rig_xterm "Ziel A" "$RIG_DIR/a.out"
rig_xterm "Ziel B" "$RIG_DIR/b.out"
b=$RIG_LAST_WINDOW
"$RIG_PROBE" keymap >"$RIG_DIR/keymap.before"
tray_start

tray_open_menu 1
tray_keys Down Return
# Part of the text has arrived: the user turns to the other window. The program is held
# still meanwhile, between two batches (a stop during one would keep the server grabbed and
# the round trip below waiting), so the turn comes while typing is under way however fast
# it types.
rig_wait_for_file_bytes "$RIG_DIR/a.out" 1
held_between_batches()
{
    kill -STOP "$TRAY_PID"
    timeout 2 xdotool getactivewindow >/dev/null && return 0
    kill -CONT "$TRAY_PID"
    return 1
}
rig_wait_until "$RIG_TIMEOUT" "the program held between two batches" held_between_batches
xdotool windowactivate "$b"
rig_wait_for_active "$b"
kill -CONT "$TRAY_PID"

box=$(rig_wait_for_window "Kalmotex")
rig_wait_for_active "$box"
message=$(tray_message_text "$box" 'Zeichen\.')
grep -q 'weil das Zielfenster nicht mehr aktiv ist.' <<<"$message" || rig_fail "unexpected message: $message"
counts=$(sed -n 's/.*Übertragen wurden \([0-9]*\) von \([0-9]*\) Zeichen\..*/\1 \2/p' <<<"$message")
read -r typed total <<<"$counts"
[ "${total:-}" = 30000 ] || rig_fail "total not 30000 in: $message"
[ "$typed" -gt 0 ] && [ "$typed" -lt 30000 ] || rig_fail "typed count $typed is no strict part of 30000"
tray_keys Return
rig_wait_for_no_window "Kalmotex"

# A holds exactly the characters the message counts: the start of the text, nothing after.
prefix=${text:0:typed}
rig_wait_for_file_bytes "$RIG_DIR/a.out" "$(printf '%s' "$prefix" | wc -c)"
[ "$(cat "$RIG_DIR/a.out")" = "$prefix" ] \
    || rig_fail "A does not hold the first $typed characters: $(head -c 80 "$RIG_DIR/a.out")... ($(stat -c %s "$RIG_DIR/a.out") bytes)"

# B received nothing: a marker typed into it now arrives first.
xdotool windowactivate --sync "$b"
rig_wait_for_active "$b"
xdotool type --delay 0 'ENDE'
rig_wait_for_file_bytes "$RIG_DIR/b.out" 4
[ "$(cat "$RIG_DIR/b.out")" = ENDE ] || rig_fail "B received more than the marker: $(head -c 200 "$RIG_DIR/b.out")"
[ "$(cat "$RIG_DIR/a.out")" = "$prefix" ] || rig_fail "A received more after the stop"

# Given back a while after the stop, once A has had time to read its keys.
keymap_restored() { "$RIG_PROBE" keymap | cmp -s "$RIG_DIR/keymap.before" -; }
rig_wait_until "$RIG_TIMEOUT" "the keymap to be given back" keymap_restored

# Still working: the menu opens and closes.
tray_choose Escape
echo "PASS"
