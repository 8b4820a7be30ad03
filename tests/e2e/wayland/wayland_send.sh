#!/usr/bin/env bash
# kalmotex-cli send N under sway: 2,000 mixed characters (umlauts, €, Ω, ✓, an emoji, Enter,
# Tab) arrive exactly in the foot terminal used last, even though the program's own main
# window has the focus, also when the terminal reads nothing for half a second while they
# come; after the user turns to the other terminal, the next send goes there.
set -uo pipefail
source "$RIG_LIB"
source "$KX_SOURCE_DIR/tests/e2e/tray/tray_lib.sh"
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
wl_mixed_text
text=$WL_TEXT
tray_cli add Lang --text-file "$RIG_DIR/text" --crypt 0
tray_cli add Kurz --text $'kurz\r' --crypt 0

wl_foot ziel-b "$RIG_DIR/b.out"
wl_foot ziel-a "$RIG_DIR/a.out"
wl_focus ziel-b
wl_focus ziel-a
wl_start
rig_wait_until "$RIG_TIMEOUT" "the main window to have the focus" _wl_is_focused de.kalmotex.Kalmotex

cli_start long send 1
cli_end long
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 1 failed: $CLI_OUTPUT"
tray_expect_file "$RIG_DIR/a.out" "$text"
tray_expect_empty "$RIG_DIR/b.out"

foot_a=$(rig_pid foot:ziel-a)
kill -STOP "$foot_a"
rig_spawn resume sh -c 'sleep 0.5; exec kill -CONT "$0"' "$foot_a"
cli_start busy send 1
cli_end busy
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 1 into a busy terminal failed: $CLI_OUTPUT"
tray_expect_file "$RIG_DIR/a.out" "$text$text"

wl_focus ziel-b
cli_start short send 2
cli_end short
[ "$CLI_STATUS" -eq 0 ] || rig_fail "send 2 failed: $CLI_OUTPUT"
tray_expect_file "$RIG_DIR/b.out" $'kurz\r'
tray_expect_file "$RIG_DIR/a.out" "$text$text"
echo "PASS"
