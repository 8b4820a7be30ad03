# Helpers for the screen-border strip and the options; sources tray_lib.sh.
#
#   options_preset VIA CLICK POS COLOUR   writes section Common of the configuration
#   options_wait_strip                    waits for the strip, sets STRIP (its id)
#   options_expect_geometry X Y W H       the strip's place and size on the screen
#   options_expect_not_active WINDOW      WINDOW is not the active window
#   options_menu_corner                   the open menu's top-left corner, "X Y"

source "$(dirname "${BASH_SOURCE[0]}")/../tray/tray_lib.sh"
SCREEN_W=1280
SCREEN_H=1024

options_preset()
{
    printf '[Common]\r\nSortNames=1\r\nPumActViaBorder=%s\r\nPumActBorderByClick=%s\r\nPumActPos=%s\r\nPumActBorderCol=%s\r\n[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n' \
        "$1" "$2" "$3" "$4" >"$TRAY_INI.new"
    # Keep the entries the test added.
    sed -n '/^\[Name\]/,$p' "$TRAY_INI" >>"$TRAY_INI.new"
    mv "$TRAY_INI.new" "$TRAY_INI"
}

# The strip is the program's only viewable window titled "[Kalmotex]": the main window is
# hidden while the tray shows the icon.
options_wait_strip() { STRIP=$(rig_wait_for_window "[Kalmotex]") || exit 1; }

_options_geometry()
{
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

_options_geometry_is() { [ "$(_options_geometry "$1")" = "$2" ]; }

options_expect_geometry()
{
    # The window manager may move a new window once more after mapping it.
    _rig_poll "$RIG_TIMEOUT" _options_geometry_is "$STRIP" "$*" \
        || rig_fail "strip at '$(_options_geometry "$STRIP")', expected '$*'"
}

options_expect_not_active() { ! _rig_active_is "$1" || rig_fail "window $1 became the active window"; }

options_menu_corner()
{
    local menu
    menu=$(xdotool search --onlyvisible --name "^${TRAY_MENU_TITLE}\$" | head -n 1)
    _options_geometry "$menu" | cut -d' ' -f1,2
}
