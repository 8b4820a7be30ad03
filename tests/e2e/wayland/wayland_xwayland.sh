#!/usr/bin/env bash
# An X11 program under Xwayland gets the same 2,000 mixed characters exactly: Xwayland takes
# the keymap the program uploads for the send, and its keycodes. An xterm that reads its keys
# only after later sends changed the keymap still reads each send's own characters.
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
wl_mixed_text
text=$WL_TEXT
tray_cli add Lang --text-file "$RIG_DIR/text" --title 'X-Ziel' --crypt 0
tray_cli add Griechisch --text 'ΨΦΔ' --title 'X-Ziel' --crypt 0
tray_cli add Zeichen --text '→★♥' --title 'X-Ziel' --crypt 0

DISPLAY=$WL_XDISPLAY rig_spawn xterm xterm -u8 -fa 'DejaVu Sans Mono' -fs 10 -T X-Ziel \
    -e sh -c 'stty raw -echo && exec cat >"$0"' "$RIG_DIR/x.out"
rig_wait_until "$RIG_TIMEOUT" "the capture of the xterm to start" test -e "$RIG_DIR/x.out"
wl_start

cli_ok long send 1
tray_expect_file "$RIG_DIR/x.out" "$text"

xterm=$(rig_pid xterm)
kill -STOP "$xterm"
for n in 2 3 2; do
    cli_start "send$n" send "$n"
    cli_end "send$n"
done
kill -CONT "$xterm"
tray_expect_file "$RIG_DIR/x.out" "${text}ΨΦΔ→★♥ΨΦΔ"
echo "PASS"
