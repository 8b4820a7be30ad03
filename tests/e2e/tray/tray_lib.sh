# Helpers for driving the real program through its notification-area icon. Sources the rig
# (rig.sh); call rig_start --tray first.
#
#   tray_prepare [--sample] a private copy of the program folder with an empty
#                           configuration (or none, so the program seeds it from sample.ini)
#   tray_cli ARGS...        kalmotex-cli on that configuration
#   cli_start NAME ARGS... / cli_end NAME [STATUS]   kalmotex-cli in the background, then
#                           its end (failing the test unless it ends with STATUS, if given)
#   cli_ok NAME ARGS...     both, the command to succeed
#   tray_start              starts kalmotex, waits for its icon in the tray (TRAY_ICON)
#   tray_icons              the program's icons in trayer's panel, one id a line
#   tray_open_menu [BUTTON] presses BUTTON (1 left, 3 right) on the icon, waits for the menu
#   tray_click_icon [BUTTON] a press and release on the icon, without waiting for anything
#   tray_wait_menu_open
#   tray_keys KEYS...       xdotool key presses
#   tray_wait_menu_closed
#   tray_choose KEYS...     tray_open_menu 1, KEYS, then waits for the menu to close
#   tray_expect_file FILE EXPECTED   waits for the bytes and compares them exactly
#
# The usual preambles:
#   tray_setup [--sample]   rig_start --tray, then tray_prepare
#   tray_activate WINDOW    activates WINDOW and waits until the window manager says so
#   tray_two_terminals      terminals "Ziel A" (a.out) and "Ziel B" (b.out) in RIG_DIR, A
#                           active (TRAY_WINDOW_A)
#   tray_open_main_window   "&Bearbeiten" from the menu; the main window active (TRAY_MAIN)
#   tray_open_extras KEY TITLE   "&Extras", then KEY in the main window; the dialog TITLE
#                           active (TRAY_DIALOG)
#   tray_quit               "B&eenden" from the menu of a right press; waits for the end
#   tray_hold_hotkey COMBO...  another program holds each COMBO ("Ctrl+Alt+1") from now on
#   tray_expect_message LINE...  the message box "Kalmotex" becomes active and says each LINE
#                           (the first after its first few characters); Enter closes it

source "${RIG_LIB:-$(dirname "${BASH_SOURCE[0]}")/../rig/rig.sh}"
: "${KX_BINARY_DIR:?}"
TRAY_BIN=$KX_BINARY_DIR/bin/kalmotex
TRAY_CLI_BIN=$KX_BINARY_DIR/bin/kalmotex-cli
TRAY_MENU_TITLE=PumMain
# Dates are formatted in this locale by the program and by the tests alike.
export LC_ALL=C.UTF-8 LANG=C.UTF-8

tray_prepare()
{
    [ -x "$TRAY_BIN" ] || rig_fail "kalmotex not built: $TRAY_BIN"
    [ -x "$TRAY_CLI_BIN" ] || rig_fail "kalmotex-cli not built"
    TRAY_APP=$RIG_DIR/app
    mkdir -p "$TRAY_APP"
    # The program keeps its configuration beside itself when that folder is writable.
    cp "$TRAY_BIN" "$TRAY_APP/kalmotex"
    TRAY_INI=$TRAY_APP/Kalmotex.ini
    if [ "${1:-}" = --sample ]; then
        # As the build lays it out: the sample and the file its signature entry inserts.
        cp "${KX_SOURCE_DIR:-.}/data/sample.ini" "${KX_SOURCE_DIR:-.}/data/signatur.txt" "$TRAY_APP/"
        return 0
    fi
    printf '[Common]\r\nSortNames=1\r\n[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n' >"$TRAY_INI"
}

tray_cli() { "$TRAY_CLI_BIN" --config "$TRAY_INI" "$@" >/dev/null || rig_fail "kalmotex-cli $*"; }

# kalmotex-cli ARGS in the background under NAME, for a send whose end the test awaits later;
# cli_end sets CLI_STATUS and CLI_OUTPUT (stdout and stderr together).
cli_start() { rig_spawn "$1" "$TRAY_CLI_BIN" "${@:2}"; }
cli_end()
{
    local pid
    pid=$(rig_pid "$1")
    rig_wait_for_exit "$1"
    wait "$pid"
    CLI_STATUS=$?
    CLI_OUTPUT=$(cat "$RIG_DIR/$1.log")
    [ -z "${2:-}" ] || [ "$CLI_STATUS" -eq "$2" ] || rig_fail "kalmotex-cli ($1) ended with $CLI_STATUS: $CLI_OUTPUT"
}
cli_ok() { cli_start "$@" && cli_end "$1" 0; }

# The icon: the program's only viewable window right after start (the main window is
# hidden), embedded in trayer's panel.
tray_icons()
{
    local panel w
    panel=$(xdotool search --onlyvisible --class '^trayer$' | head -n 1)
    [ -n "$panel" ] || return 0
    for w in $(xdotool search --onlyvisible --classname '^kalmotex$' 2>/dev/null); do
        ! _tray_is_descendant "$w" "$panel" || echo "$w"
    done
}

_tray_is_descendant()
{
    local w=$1 ancestor=$(($2)) parent
    for _ in 1 2 3 4 5 6; do
        parent=$(xwininfo -tree -id "$w" 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p')
        # The root's parent is 0x0, and xwininfo -id 0 would wait for a click.
        [ -n "$parent" ] && [ $((parent)) -ne 0 ] || return 1
        [ $((parent)) -eq "$ancestor" ] && return 0
        w=$parent
    done
    return 1
}

_tray_icon_found() { _TRAY_FOUND=$(tray_icons | head -n 1) && [ -n "$_TRAY_FOUND" ]; }

# Waits for the icon and prints its id, from the search that found it.
tray_wait_icon()
{
    rig_wait_until "$RIG_TIMEOUT" "the program's icon in the tray" _tray_icon_found
    echo "$_TRAY_FOUND"
}

tray_start()
{
    rig_spawn kalmotex "$TRAY_APP/kalmotex" "$@"
    TRAY_PID=$RIG_LAST_PID
    TRAY_ICON=$(tray_wait_icon) || exit 1
}

_tray_menu_open() { [ -n "$(xdotool search --onlyvisible --name "^${TRAY_MENU_TITLE}\$" 2>/dev/null)" ]; }
_tray_menu_closed() { ! _tray_menu_open; }

# A press opens the menu (before the release); the release follows once it is open.
# Presses alternate between two points of the icon further apart than the double-click
# distance: two presses at one point within the double-click time are a double click,
# which opens nothing.
TRAY_PRESS_AT=0
_tray_press()
{
    TRAY_PRESS_AT=$((1 - TRAY_PRESS_AT))
    local at=$((TRAY_PRESS_AT ? 3 : 14))
    xdotool mousemove --window "$TRAY_ICON" "$at" "$at" mousedown "$1"
}

tray_open_menu() { _tray_press "${1:-1}"; tray_wait_menu_open; xdotool mouseup "${1:-1}"; }
tray_click_icon() { _tray_press "${1:-1}"; xdotool mouseup "${1:-1}"; }

tray_wait_menu_open() { rig_wait_until "$RIG_TIMEOUT" "the popup menu to open" _tray_menu_open; }

tray_keys() { xdotool key --delay 20 "$@"; }

tray_wait_menu_closed() { rig_wait_until "$RIG_TIMEOUT" "the popup menu to close" _tray_menu_closed; }

tray_choose()
{
    tray_open_menu 1
    tray_keys "$@"
    tray_wait_menu_closed
}

tray_expect_file()
{
    local file=$1 expected=$2 n
    n=$(printf '%s' "$expected" | wc -c)
    rig_wait_for_file_bytes "$file" "$n"
    [ "$(cat "$file")" = "$expected" ] && [ "$(stat -c %s "$file")" -eq "$n" ] \
        || rig_fail "$file: expected $(printf '%s' "$expected" | od -An -c) got $(od -An -c "$file")"
}

# Something that must not arrive: every earlier step is synchronous with the program, so a
# round trip through it (opening and closing its menu) is enough to know nothing is pending.
tray_expect_empty() { [ ! -s "$1" ] || rig_fail "$1 should be empty, holds: $(od -An -c "$1")"; }

# The text of message box BOX as the user reads it: selected with the mouse from inside the
# first line to past the end (the icon is on the left, the button at the bottom), taken
# from PRIMARY once it holds PATTERN.
_tray_selection_has() { "$RIG_PROBE" clipboard PRIMARY | grep -q -- "$1"; }
tray_message_text()
{
    local box=$1 pattern=$2
    eval "$(xdotool getwindowgeometry --shell "$box")"
    xdotool mousemove --window "$box" 80 20 mousedown 1 \
        mousemove --window "$box" $((WIDTH - 8)) $((HEIGHT - 48)) mouseup 1
    rig_wait_until "$RIG_TIMEOUT" "the message's text in the selection" _tray_selection_has "$pattern"
    "$RIG_PROBE" clipboard PRIMARY
}

tray_setup() { rig_start --tray; tray_prepare "$@"; }

tray_hold_hotkey()
{
    rig_spawn holder sh -c 'out=$1; shift; exec "$0" grab-hotkey "$@" >"$out"' "$RIG_PROBE" "$RIG_DIR/holder.out" "$@"
    rig_wait_until "$RIG_TIMEOUT" "the other program to hold $*" grep -q grabbed "$RIG_DIR/holder.out"
}

tray_expect_message()
{
    local box message line last=${*: -1}
    box=$(rig_wait_for_window "Kalmotex") || exit 1
    rig_wait_for_active "$box"
    message=$(tray_message_text "$box" "${last: -12}")
    for line in "$@"; do
        grep -qF -- "$line" <<<"$message" || rig_fail "unexpected message: $message"
    done
    xdotool key Return
    rig_wait_for_no_window "Kalmotex"
}

tray_activate()
{
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    rig_wait_for_active "$1"
}

tray_two_terminals()
{
    rig_xterm "Ziel A" "$RIG_DIR/a.out"
    TRAY_WINDOW_A=$RIG_LAST_WINDOW
    rig_xterm "Ziel B" "$RIG_DIR/b.out"
    tray_activate "$TRAY_WINDOW_A"
}

tray_open_main_window()
{
    tray_open_menu 1
    tray_keys b # "&Bearbeiten"
    TRAY_MAIN=$(rig_wait_for_window "[Kalmotex]") || exit 1
    tray_activate "$TRAY_MAIN"
}

tray_open_extras()
{
    xdotool key --clearmodifiers alt+e # "&Extras"
    xdotool key "$1"
    TRAY_DIALOG=$(rig_wait_for_window "$2") || exit 1
    rig_wait_for_active "$TRAY_DIALOG"
}

tray_quit()
{
    tray_open_menu 3
    tray_keys e # "B&eenden"
    rig_wait_for_exit kalmotex
}
