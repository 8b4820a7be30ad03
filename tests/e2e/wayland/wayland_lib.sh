# Helpers for driving the real program in the shared headless sway (sway_rig.sh, started by
# CTest's fixture). Sources tray_lib.sh (and rig.sh), which give the process bookkeeping,
# the waits and the program folder; call wl_setup first.
#
#   wl_setup                  a private RIG_DIR with the trap that stops what the test starts,
#                             the sway of the fixture in the environment, tray_prepare
#   wl_foot APP_ID FILE       a raw foot terminal titled APP_ID appending every byte it gets to
#                             FILE; returns when it is ready
#   wl_focused                the app id of the focused window ("" for none)
#   wl_focus APP_ID           focuses it (as a click would) and waits until sway says so
#   wl_start                  starts kalmotex and waits for its main window (no tray host)

: "${WL_STATE:?the state folder of the sway fixture}"
source "$KX_SOURCE_DIR/tests/e2e/tray/tray_lib.sh"

wl_setup()
{
    [ -f "$WL_STATE/env" ] || { echo "wayland: the sway fixture is not running" >&2; exit 1; }
    source "$WL_STATE/env"
    unset DISPLAY
    RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kx-rig.XXXXXX")
    export XDG_RUNTIME_DIR=$RIG_DIR/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    trap _rig_on_exit EXIT
    trap _rig_on_signal INT TERM
    tray_prepare
}

_wl_tree() { swaymsg -t get_tree; }
wl_focused() { _wl_tree | jq -r '[.. | select(.focused? == true) | .app_id // empty] | first // ""'; }
_wl_has_window() { _wl_tree | jq -e --arg a "$1" '[.. | select(.app_id? == $a)] | length > 0'; }
_wl_is_focused() { [ "$(wl_focused)" = "$1" ]; }

wl_foot()
{
    local app_id=$1 capture=$2
    rm -f "$capture"
    # The capture file appears with the redirection, after stty has made the terminal raw.
    rig_spawn "foot:$app_id" foot --app-id="$app_id" --title="$app_id" \
        sh -c 'stty raw -echo && exec cat >>"$0"' "$capture"
    rig_wait_until "$RIG_TIMEOUT" "foot '$app_id'" _wl_has_window "$app_id"
    rig_wait_until "$RIG_TIMEOUT" "capture of '$app_id' to start" test -e "$capture"
}

wl_focus()
{
    swaymsg "[app_id=\"$1\"] focus" >/dev/null || rig_fail "sway could not focus $1"
    rig_wait_until "$RIG_TIMEOUT" "$1 to have the focus" _wl_is_focused "$1"
}

wl_start()
{
    rig_spawn kalmotex "$TRAY_APP/kalmotex" "$@"
    rig_wait_until "$RIG_TIMEOUT" "the main window" _wl_has_window de.kalmotex.Kalmotex
}

# 2,000 mixed characters (umlauts, €, Ω, ✓, an emoji, Enter, Tab, keystroke-syntax
# characters) in WL_TEXT and in the file RIG_DIR/text.
wl_mixed_text()
{
    WL_TEXT=
    while [ ${#WL_TEXT} -lt 2000 ]; do
        WL_TEXT+=$'Grüße aus Köln: 5 € für Ω-Maß ✓ 😀 äöüÄÖÜß\r\t{x} [y] <z> ~^%+ "q" \\'
    done
    WL_TEXT=${WL_TEXT:0:2000}
    printf '%s' "$WL_TEXT" >"$RIG_DIR/text"
}
_wl_focused_title_is() { [ "$(_wl_tree | jq -r '[.. | select(.focused? == true) | .name] | first // ""')" = "$1" ]; }

# As rig.sh's, with a screenshot of the sway output.
rig_fail()
{
    _rig_log "FAIL: $*"
    [ -z "$RIG_DIR" ] || ! grim "$RIG_DIR/failure.png" 2>/dev/null || _rig_log "screenshot: $RIG_DIR/failure.png"
    exit 1
}
_wl_has_title() { _wl_tree | jq -e --arg t "$1" '[.. | select(.name? == $t)] | length > 0'; }
_wl_no_title() { ! _wl_has_title "$1"; }
_wl_menu_open() { _wl_tree | jq -e '[.. | select(.name? == "PumMain")] | length == 1'; }
_wl_menu_gone() { _wl_tree | jq -e '[.. | select(.name? == "PumMain")] | length == 0'; }
