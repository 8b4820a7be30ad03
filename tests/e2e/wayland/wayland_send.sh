#!/usr/bin/env bash
# kalmotex-cli send N under sway: 2,000 mixed characters (umlauts, €, Ω, ✓, an emoji, Enter,
# Tab) arrive exactly in the foot terminal used last, even though the program's own main
# window has the focus, also when the terminal reads nothing for half a second while they
# come; after the user turns to the other terminal, the next send goes there. Console
# entries go to the clipboard through wlr data control (the program has no keyboard focus
# to use Qt's) and Shift+Insert pastes them, umlauts and € included; a second replaces the
# first, and an entry with %zwischenablage% types what the clipboard holds then.
set -uo pipefail
source "$(dirname "$0")/wayland_lib.sh"

wl_setup
wl_mixed_text
text=$WL_TEXT
tray_cli add Lang --text-file "$RIG_DIR/text" --crypt 0
tray_cli add Kurz --text $'kurz\r' --crypt 0
tray_cli add Verzeichnis --text $'dir /w äö €\r' --crypt 0 --dosbox 1
tray_cli add Wechsel --text $'cd ..\r' --crypt 0 --dosbox 1
tray_cli add Nochmal --text 'echo %zwischenablage%' --crypt 0

wl_foot ziel-b "$RIG_DIR/b.out"
wl_foot ziel-a "$RIG_DIR/a.out"
wl_focus ziel-b
wl_focus ziel-a
wl_start
rig_wait_until "$RIG_TIMEOUT" "the main window to have the focus" _wl_is_focused de.kalmotex.Kalmotex

cli_ok long send 1
tray_expect_file "$RIG_DIR/a.out" "$text"
tray_expect_empty "$RIG_DIR/b.out"

foot_a=$(rig_pid foot:ziel-a)
kill -STOP "$foot_a"
rig_spawn resume sh -c 'sleep 0.5; exec kill -CONT "$0"' "$foot_a"
cli_ok busy send 1
tray_expect_file "$RIG_DIR/a.out" "$text$text"

wl_focus ziel-b
cli_ok short send 2
tray_expect_file "$RIG_DIR/b.out" $'kurz\r'

cli_ok first-console send 3
tray_expect_file "$RIG_DIR/b.out" $'kurz\rdir /w äö €\r'
cli_ok second-console send 4
tray_expect_file "$RIG_DIR/b.out" $'kurz\rdir /w äö €\rcd ..\r'
cli_ok clipboard send 5
tray_expect_file "$RIG_DIR/b.out" $'kurz\rdir /w äö €\rcd ..\recho cd ..\r'
tray_expect_file "$RIG_DIR/a.out" "$text$text"
echo "PASS"
