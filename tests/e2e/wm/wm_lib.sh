# The common start of the window-manager tests; sources tray_lib.sh.
#
#   wm_start WM   the rig under WM, two entries ("eins" to the window used last, "zwei" to
#                 the window titled "Ziel B"), the program in debug mode (no tray; the
#                 activations named on stderr), terminals "Ziel A" ($window_a, used last)
#                 and "Ziel B"
#   wm_send N     kalmotex-cli send N, failing the test when it fails

source "$(dirname "${BASH_SOURCE[0]}")/../tray/tray_lib.sh"
wm_send()
{
    "$TRAY_CLI_BIN" send "$1" >"$RIG_DIR/cli.out" 2>&1 || rig_fail "kalmotex-cli send $1 under $RIG_WM: $(cat "$RIG_DIR/cli.out")"
}

wm_start()
{
    rig_start --wm "$1"
    tray_prepare
    tray_cli add Zuletzt --text 'eins' --crypt 0
    tray_cli add Titel --text 'zwei' --title 'Ziel B' --crypt 0
    rig_spawn kalmotex "$TRAY_APP/kalmotex" debug
    rig_wait_for_window "[Kalmotex]" >/dev/null
    rig_xterm "Ziel A" "$RIG_DIR/a.out"
    window_a=$RIG_LAST_WINDOW
    rig_xterm "Ziel B" "$RIG_DIR/b.out"
    rig_use_window "$window_a"
}
