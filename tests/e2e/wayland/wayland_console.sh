#!/usr/bin/env bash
# A console entry under sway: its text goes to the clipboard through wlr data control (the
# program has no keyboard focus to use Qt's) and Shift+Insert pastes it into the foot
# terminal used last, umlauts and € included; a second one replaces the first, and an entry
# with %zwischenablage% types what the clipboard holds then.
set -uo pipefail
source "$RIG_LIB"
source "$KX_SOURCE_DIR/tests/e2e/tray/tray_lib.sh"
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
tray_cli add Verzeichnis --text $'dir /w äö €\r' --crypt 0 --dosbox 1
tray_cli add Wechsel --text $'cd ..\r' --crypt 0 --dosbox 1
tray_cli add Nochmal --text 'echo %zwischenablage%' --crypt 0
wl_foot konsole "$RIG_DIR/console.out"
wl_focus konsole
wl_start

cli_start first send 1
cli_end first
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 1 failed: $CLI_OUTPUT"
tray_expect_file "$RIG_DIR/console.out" $'dir /w äö €\r'

cli_start second send 2
cli_end second
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 2 failed: $CLI_OUTPUT"
tray_expect_file "$RIG_DIR/console.out" $'dir /w äö €\rcd ..\r'

cli_start third send 3
cli_end third
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 3 failed: $CLI_OUTPUT"
tray_expect_file "$RIG_DIR/console.out" $'dir /w äö €\rcd ..\recho cd ..\r'
echo "PASS"
