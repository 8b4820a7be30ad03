#!/usr/bin/env bash
# A question in an entry under sway: the input box "[Kalmotex] - Eingabe" takes the focus,
# and after the answer the text with it arrives in the terminal used last.
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
tray_cli add Gruss --text 'Hallo %eingabe=Name%!' --crypt 0
wl_foot ziel-a "$RIG_DIR/a.out"
wl_focus ziel-a
wl_start
wl_focus ziel-a

cli_start ask send 1
rig_wait_until "$RIG_TIMEOUT" "the input box to have the focus" _wl_focused_title_is "[Kalmotex] - Eingabe"
wtype 'Jörg' -k Return
cli_end ask 0
tray_expect_file "$RIG_DIR/a.out" 'Hallo Jörg!'
echo "PASS"
