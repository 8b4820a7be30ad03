#!/usr/bin/env bash
# The Windows program as a user gets it, under Wine in the rig's X server: the silent
# installer, the icon in the task bar of Wine's desktop, sends from kalmotex-cli.exe, the
# icon's menu and the border strip into the window used last, the options dialog's
# autostart value and [Common], and the uninstaller, which leaves the user's Kalmotex.ini.
# With SCREENSHOTS=FOLDER it leaves pictures of the menu, main window and options there.
#
#   windows_program.sh INSTALLER TARGET_WINDOW_EXE WINDOW_TITLES_EXE
set -euo pipefail
installer=${1:?installer}
target_exe=${2:?target window program}
titles_exe=${3:?window titles program}
[ -f "$installer" ] || { echo "no installer $installer (make windows-package makes it)" >&2; exit 1; }
# Wine starts slowly: a wait may take a minute.
RIG_TIMEOUT=${RIG_TIMEOUT:-60}
source "$(dirname "$0")/../../e2e/rig/rig.sh"
rig_start --no-wm
# Wine reads the keyboard layout once, when its first program starts.
setxkbmap -display "$DISPLAY" de

export WINEPREFIX=$RIG_DIR/wine WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)
stop_all()
{
    local status=$?
    set +e
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rig_stop "$status"
    exit "$status"
}
trap stop_all EXIT

# Every program of the prefix in one desktop window with a task bar, as on Windows.
"$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# The desktop setting counts for the next Wine session: end the one wineboot started.
wineserver -w
windows_path() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# --- installer ----------------------------------------------------------------------
"$wine" "$installer" /S >/dev/null 2>&1
home=$WINEPREFIX/drive_c/users/$(id -un)
program_folder=$home/AppData/Local/Programs/Kalmotex
for file in bin/kalmotex.exe bin/kalmotex-cli.exe bin/Qt6Widgets.dll bin/platforms/qwindows.dll \
    share/kalmotex/sample.ini share/kalmotex/hilfe.htm uninstall.exe; do
    [ -f "$program_folder/$file" ] || rig_fail "the installer did not install $file"
done
ls "$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kalmotex/Kalmotex.lnk" >/dev/null \
    || rig_fail "no Start-menu entry"

# --- the program, an entry and a window to type into ---------------------------------
config_folder=$home/AppData/Roaming/Kalmotex
mkdir -p "$config_folder"
ini=$config_folder/Kalmotex.ini
# The border strip along the left edge opens the menu when the pointer touches it. The
# first text goes in several slices, with umlauts, characters outside the layout, an emoji.
printf '[Common]\r\nPumActViaBorder=1\r\nPumActPos=2\r\n[Name]\r\n1=Gruß\r\n2=Zweites\r\n[Crypt]\r\n1=0\r\n2=0\r\n[Text]\r\n1=Grüße € Ω ✓ 😀\\TTab\\NZeile 2\r\n2=zwei\r\n' \
    >"$ini"
expected=$(printf 'Grüße € Ω ✓ 😀\tTab\r\nZeile 2')

rig_spawn kalmotex "$wine" "$program_folder/bin/kalmotex.exe"
desktop=$(rig_wait_for_window "Default - Wine desktop")
eval "$(xdotool getwindowgeometry --shell "$desktop")" # X, Y, WIDTH, HEIGHT

capture=$RIG_DIR/target.txt
rig_spawn target "$wine" "$target_exe" Zielfenster "$(windows_path "$capture")"
rig_wait_until "$RIG_TIMEOUT" "the target window" test -f "$capture"

# The program's icon (blue square) in the task bar at the desktop's bottom right.
icon_position()
{
    rig_screenshot "$RIG_DIR/screen.png"
    convert "$RIG_DIR/screen.png" -crop "300x40+$((X + WIDTH - 300))+$((Y + HEIGHT - 40))" +repage txt:- \
        | awk -F'[,: ]+' -v x0=$((X + WIDTH - 300)) -v y0=$((Y + HEIGHT - 40)) \
            '/#1F5FA8/ { print x0 + $1, y0 + $2; exit }'
}
icon_shown() { [ -n "$(icon_position)" ]; }
rig_wait_until "$RIG_TIMEOUT" "the program's icon in Wine's task bar" icon_shown

# --- kalmotex-cli.exe send ----------------------------------------------------------
: # the target window was used last: the program types there
timeout 30 "$wine" "$program_folder/bin/kalmotex-cli.exe" send 1 || rig_fail "kalmotex-cli.exe send 1 failed ($?)"
rig_wait_for_file_bytes "$capture" "$(printf %s "$expected" | wc -c)"
[ "$(cat "$capture")" = "$expected" ] || rig_fail "typed: '$(cat "$capture")', expected '$expected'"

# --- the menu from the icon and from the border strip ----------------------------------
# X11 tools see only Wine's desktop window; which window is in front, Windows itself says.
window_titles() { "$wine" "$titles_exe" 2>/dev/null | tr -d '\r'; } # the foreground's first
foreground_is() { [ "$(window_titles | head -n 1)" = "$1" ]; }
shown() { window_titles | tail -n +2 | cut -f 2 | grep -qxF "$1"; }
shown_as_application() { window_titles | tail -n +2 | grep -qxF "app	$1"; }
wait_for_foreground() { rig_wait_until "$RIG_TIMEOUT" "'$1' in front" foreground_is "$1"; }
wait_until_shown() { rig_wait_until "$RIG_TIMEOUT" "'$1' shown" shown "$1"; }
keep_screenshot() { [ -z "${SCREENSHOTS:-}" ] || import -window "$desktop" "$SCREENSHOTS/$1.png"; }
open_menu_at_icon()
{
    local x y
    read -r x y <<<"$(icon_position)"
    xdotool mousemove "$x" "$y" click 1
    wait_until_shown PumMain
}

open_menu_at_icon
keep_screenshot windows-menu
xdotool key --delay 50 Down Down Return
rig_wait_for_file_bytes "$capture" "$(printf %s "${expected}zwei" | wc -c)"
[ "$(cat "$capture")" = "${expected}zwei" ] || rig_fail "after the menu: '$(cat "$capture")'"

xdotool mousemove "$((X + 1))" "$((Y + HEIGHT / 2))" mousemove "$X" "$((Y + HEIGHT / 2))"
wait_until_shown PumMain
xdotool key Escape
rig_wait_until "$RIG_TIMEOUT" "the menu to close" eval '! shown PumMain'
xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT / 2))"

# --- the options dialog: autostart value and [Common] ----------------------------------
autostart_set() { "$wine" reg query "$run_key" /v '[Kalmotex]' 2>/dev/null | grep -q '/AUTOSTART'; }
open_menu_at_icon
xdotool key b # "&Bearbeiten"
rig_wait_until "$RIG_TIMEOUT" "the main window" shown_as_application "[Kalmotex]"
keep_screenshot windows-mainwindow
xdotool key --clearmodifiers alt+e o # "&Extras", "&Optionen..."
wait_for_foreground "[Kalmotex] - Optionen"
keep_screenshot windows-options
xdotool key --clearmodifiers alt+p # "&Programm direkt beim Systemstart aufrufen"
rig_wait_until "$RIG_TIMEOUT" "the autostart value" autostart_set
xdotool key --clearmodifiers alt+p
rig_wait_until "$RIG_TIMEOUT" "the autostart value to go" eval '! autostart_set'
xdotool key --clearmodifiers alt+o # "&OK"
rig_wait_until "$RIG_TIMEOUT" "[Common] written" grep -q '^SortNames=1' "$ini"
tr -d '\r' <"$ini" | grep -qx 'PumActPos=2' || rig_fail "[Common] lost the edge: $(tr '\r\n' '  ' <"$ini")"

# --- uninstaller --------------------------------------------------------------------
"$wine" reg add "$run_key" /v '[Kalmotex]' /d "$(windows_path "$program_folder/bin/kalmotex.exe") /AUTOSTART" /f \
    >/dev/null 2>&1
rig_kill kalmotex
# The uninstaller copies itself away and removes the original as it ends: wait for that.
"$wine" "$program_folder/uninstall.exe" /S >/dev/null 2>&1
rig_wait_until "$RIG_TIMEOUT" "the uninstaller to remove the program folder" test ! -e "$program_folder"
"$wine" reg query "$run_key" /v '[Kalmotex]' >/dev/null 2>&1 && rig_fail "the autostart value is still there"
[ -f "$config_folder/Kalmotex.ini" ] || rig_fail "the uninstaller removed the user's Kalmotex.ini"
echo "windows program: installed, typed, uninstalled"
