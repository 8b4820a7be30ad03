#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR lays out the standard tree; the installed programs
# find their shared files in ../share/kalmotex and keep the configuration in the user's XDG
# folder (seeded from the installed sample), even though the DESTDIR's bin folder is writable.
# The desktop entry and the metainfo pass their validators.
set -uo pipefail
source "$RIG_LIB"
: "${KX_BINARY_DIR:?}" "${KX_CMAKE:?}" "${KX_PROJECT_VERSION:?}"
export LC_ALL=C.UTF-8 LANG=C.UTF-8

rig_start
ROOT=$RIG_DIR/root
PREFIX=$ROOT/usr
APP_ID=de.kalmotex.Kalmotex
DESTDIR=$ROOT "$KX_CMAKE" --install "$KX_BINARY_DIR" --prefix /usr >"$RIG_DIR/install.log" 2>&1 \
    || rig_fail "cmake --install failed: $(tail -n 5 "$RIG_DIR/install.log")"

# Exactly these files, nothing stray.
expected=(
    usr/bin/kalmotex
    usr/bin/kalmotex-cli
    usr/share/applications/$APP_ID.desktop
    usr/share/icons/hicolor/scalable/apps/$APP_ID.svg
    usr/share/kalmotex/hilfe.htm
    usr/share/kalmotex/sample.ini
    usr/share/kalmotex/signatur.txt
    usr/share/man/man1/kalmotex-cli.1.gz
    usr/share/man/man1/kalmotex.1.gz
    usr/share/metainfo/$APP_ID.metainfo.xml
)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png")
done
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
got=$(cd "$ROOT" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$got" = "$want" ] || rig_fail "installed files differ: $(diff <(echo "$want") <(echo "$got") | grep '^[<>]' | tr '\n' ' ')"
for size in "${sizes[@]}"; do
    dims=$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png")
    [ "$dims" = "${size}x${size}" ] || rig_fail "the ${size}x${size} icon is $dims"
done

desktop-file-validate "$PREFIX/share/applications/$APP_ID.desktop" >"$RIG_DIR/validate.log" 2>&1 \
    || rig_fail "desktop-file-validate: $(cat "$RIG_DIR/validate.log")"
appstreamcli validate --no-net "$PREFIX/share/metainfo/$APP_ID.metainfo.xml" >"$RIG_DIR/validate.log" 2>&1 \
    || rig_fail "appstreamcli validate: $(cat "$RIG_DIR/validate.log")"
for page in kalmotex kalmotex-cli; do
    zcat "$PREFIX/share/man/man1/$page.1.gz" | grep -q "^\.TH \"$page\" \"1\"" || rig_fail "manual page $page.1 is no roff page"
done

# The installed programs answer --help and --version without a display.
offline() { env -u DISPLAY -u WAYLAND_DISPLAY "$@"; }
for program in kalmotex kalmotex-cli; do
    [ "$(offline "$PREFIX/bin/$program" --version)" = "$program $KX_PROJECT_VERSION" ] \
        || rig_fail "$program --version: $(offline "$PREFIX/bin/$program" --version 2>&1)"
    offline "$PREFIX/bin/$program" --help | head -n 1 | grep -q "^usage: $program " \
        || rig_fail "$program --help: $(offline "$PREFIX/bin/$program" --help 2>&1 | head -n 3)"
done

# A user of their own; a fake xdg-open records what the program asks the desktop to open.
export HOME=$RIG_DIR/home XDG_CONFIG_HOME=$RIG_DIR/xdg
mkdir -p "$HOME" "$RIG_DIR/fakebin"
CONFIG=$XDG_CONFIG_HOME/kalmotex
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/opened.part" && mv "%s/opened.part" "%s/opened"\n' \
    "$RIG_DIR" "$RIG_DIR" "$RIG_DIR" >"$RIG_DIR/fakebin/xdg-open"
chmod +x "$RIG_DIR/fakebin/xdg-open"

CLI=$PREFIX/bin/kalmotex-cli
sample_list=$("$CLI" --config "$PREFIX/share/kalmotex/sample.ini" list)
[ -n "$sample_list" ] || rig_fail "the installed sample has no entries"

PATH=$RIG_DIR/fakebin:$PATH rig_spawn kalmotex "$PREFIX/bin/kalmotex" debug
PID=$RIG_LAST_PID
WIN=$(rig_wait_for_window "[Kalmotex]") || rig_fail "the installed program's main window did not open"

[ -f "$CONFIG/Kalmotex.ini" ] || rig_fail "no configuration in $CONFIG: $(ls -A "$CONFIG" 2>&1)"
[ "$("$CLI" list)" = "$sample_list" ] || rig_fail "the configuration is not the sample: $("$CLI" list)"
[ "$("$CLI" list)" = "$("$CLI" --config "$CONFIG/Kalmotex.ini" list)" ] || rig_fail "the tool reads another file"
cmp -s "$CONFIG/signatur.txt" "$PREFIX/share/kalmotex/signatur.txt" || rig_fail "signatur.txt was not put beside it"
[ "$(readlink "/proc/$PID/cwd")" = "$CONFIG" ] || rig_fail "works in $(readlink "/proc/$PID/cwd")"
leftovers=$(find "$ROOT" -name 'Kalmotex.ini*' -o -name '.kalmotex-probe-*')
[ -z "$leftovers" ] || rig_fail "files written into the installed tree: $leftovers"

# F1 opens the installed help page. The debugger opened with the main window asks to be
# activated when the program gets round to it, perhaps after the main window was.
activate_main() { _rig_active_is "$WIN" || xdotool windowactivate "$WIN" >/dev/null 2>&1; _rig_active_is "$WIN"; }
rig_wait_until "$RIG_TIMEOUT" "the main window to become active" activate_main
xdotool key F1
rig_wait_until "$RIG_TIMEOUT" "the help page to be opened" test -e "$RIG_DIR/opened"
[ "$(cat "$RIG_DIR/opened")" = "file://$PREFIX/share/kalmotex/hilfe.htm" ] \
    || rig_fail "opened $(cat "$RIG_DIR/opened") instead of the installed help page"
echo "PASS"
