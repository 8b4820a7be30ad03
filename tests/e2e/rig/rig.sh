# Headless desktop for end-to-end tests: source this file from a bash test script.
#
#   source tests/e2e/rig/rig.sh
#   rig_start --tray                      # Xvfb + openbox (+ trayer), exports DISPLAY
#   rig_xterm "Ziel" "$RIG_DIR/ziel.out"  # capture window, ready to receive keys
#   ...drive the program with xdotool...
#   rig_wait_for_file_bytes "$RIG_DIR/ziel.out" 5
#
# Every process the rig starts is recorded by PID and stopped on every path out of the
# script (normal end, failure, timeout, Ctrl-C): rig_start installs a trap on EXIT, INT
# and TERM. A test that installs its own EXIT trap must call rig_stop from it.
# Each script gets its own display number, so tests may run in parallel.
#
# Functions
#   rig_start [--tray] [--no-wm] [--wm NAME]
#       Starts Xvfb (1280x1024x24, or RIG_SCREEN) on a free display, then a window manager (unless
#       --no-wm): NAME, else $RIG_WM, else openbox; one of openbox i3 fluxbox awesome bspwm
#       dwm twm (run with a private HOME, so no user's settings count), then trayer (with
#       --tray). Returns when each answers: a window manager once it holds the root's
#       substructure redirect, announces itself (EWMH, all but twm) and answers a round
#       trip. Sets and exports DISPLAY and RIG_WM (empty with --no-wm), sets RIG_DIR (a
#       private temporary folder, removed by rig_stop) and exports XDG_RUNTIME_DIR as a
#       private folder in it.
#   rig_start_tray
#       Starts trayer later (after rig_start without --tray).
#   rig_spawn NAME COMMAND [ARGS...]
#       Runs COMMAND in the background in a session of its own, records its PID under
#       NAME (stdout/stderr to $RIG_DIR/NAME.log) and sets RIG_LAST_PID. It is stopped
#       by rig_stop, or earlier by rig_kill NAME.
#   rig_kill NAME
#       Stops the process started under NAME (TERM, then KILL after RIG_TIMEOUT).
#   rig_wait_for_exit NAME [TIMEOUT]
#       Waits until the process started under NAME has ended.
#   rig_pid NAME
#       Prints the PID of the process started under NAME.
#   rig_xterm TITLE CAPTUREFILE [EXTRA XTERM ARGS...]
#       Opens a UTF-8 xterm titled TITLE whose terminal is raw and writes every byte it
#       receives to CAPTUREFILE (Enter arrives as CR). Returns when the window is
#       viewable and the capture is running. Records the xterm as "xterm:TITLE" and
#       prints nothing; RIG_LAST_WINDOW is its window id (decimal).
#   rig_wait_for_window TITLE [TIMEOUT]
#       Waits until a viewable window with exactly this title exists; prints its id.
#   rig_wait_for_no_window TITLE [TIMEOUT]
#       Waits until no viewable window with exactly this title exists.
#   rig_wait_for_file_bytes FILE N [TIMEOUT]
#       Waits until FILE holds at least N bytes.
#   rig_wait_for_active WINDOW [TIMEOUT]
#       Waits until the window manager reports WINDOW (decimal or 0x id) as active.
#   rig_use_window WINDOW
#       Raises WINDOW (decimal or 0x id), moves the pointer into it and clicks it, as a user
#       who starts to work there; waits until it has the keyboard focus. Works under every window
#       manager of rig_start, also those that ignore activation requests.
#   rig_wait_until TIMEOUT DESCRIPTION COMMAND [ARGS...]
#       Polls COMMAND every 20 ms until it succeeds; fails the test after TIMEOUT
#       (whole) seconds.
#   rig_wait_for_wm_idle [TIMEOUT]
#       Waits until the window manager has handled everything sent to it before (a round
#       trip through it; without the probe, until it has used no CPU for a short while).
#   rig_screenshot FILE
#       Saves a PNG of the whole screen.
#   rig_fail MESSAGE
#       Prints MESSAGE, saves a screenshot to $RIG_DIR/failure.png (kept when
#       RIG_KEEP=1) and exits the script with status 1.
#   rig_stop [STATUS]
#       Stops everything the rig started, last started first, and removes RIG_DIR
#       (unless RIG_KEEP=1, or RIG_KEEP_FAILED=1 and STATUS is not 0). Safe to call more
#       than once.
#
# Settings (environment): RIG_SCREEN (the screen's size, default 1280x1024), RIG_TIMEOUT
# (seconds a wait may take, default 20:
# generous, since a loaded machine can take seconds to start a window manager),
# RIG_KEEP=1 (keep RIG_DIR for inspection), RIG_KEEP_FAILED=1 (keep it when the test
# fails: screenshot, logs of the programs started), RIG_EVENT_LOG (a file that collects the rig's
# messages: failures, retries), RIG_PROBE (path of kx-x11-probe, used for
# the tray selection check when present).

RIG_TIMEOUT=${RIG_TIMEOUT:-20}
RIG_DIR=${RIG_DIR:-}
RIG_LAST_PID=
RIG_LAST_WINDOW=
declare -a RIG_NAMES=()
declare -A RIG_PIDS=()
declare -A RIG_STARTS=()
_RIG_STOPPED=0

# Also appended to $RIG_EVENT_LOG when set (the soak script counts what was retried).
_rig_log()
{
    echo "rig: $*" >&2
    [ -z "${RIG_EVENT_LOG:-}" ] || echo "$(date '+%F %T') $*" >>"$RIG_EVENT_LOG"
}

rig_fail()
{
    _rig_log "FAIL: $*"
    if [ -n "${DISPLAY:-}" ] && [ -n "$RIG_DIR" ]; then
        rig_screenshot "$RIG_DIR/failure.png" 2>/dev/null && _rig_log "screenshot: $RIG_DIR/failure.png"
    fi
    exit 1
}

rig_wait_until()
{
    local timeout=$1 what=$2
    shift 2
    local limit_ns=$(($(date +%s%N) + timeout * 1000000000))
    while ! "$@" >/dev/null 2>&1; do
        if [ "$(date +%s%N)" -ge "$limit_ns" ]; then
            rig_fail "timed out after ${timeout} s waiting for $what"
        fi
        sleep 0.02
    done
}

# "STATE STARTTIME" of a process, from /proc/PID/stat (fields 3 and 22; the command name
# before them may contain blanks and parentheses).
_rig_proc_state() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{print $1, $20}'; }

# Records a process so rig_stop can end it. Its start time is its identity: a PID that the
# system has since reused for another process is never signalled. (The start time survives
# exec, so "sh -c 'exec prog'" is still recognised; comm would change.)
_rig_record()
{
    local name=$1 pid=$2
    RIG_NAMES+=("$name")
    RIG_PIDS[$name]=$pid
    RIG_STARTS[$name]=$(_rig_proc_state "$pid" | cut -d' ' -f2)
}

rig_spawn()
{
    local name=$1
    shift
    # Not a process group leader in a non-interactive shell, so setsid execs in place and
    # $! is the command's own PID.
    setsid "$@" >"$RIG_DIR/${name//[^A-Za-z0-9_.-]/_}.log" 2>&1 </dev/null &
    _rig_record "$name" $!
    RIG_LAST_PID=$!
}

rig_pid() { echo "${RIG_PIDS[$1]:-}"; }

_rig_alive_as()
{
    local pid=$1 start=$2 state
    [ -n "$pid" ] && [ -n "$start" ] || return 1
    state=$(_rig_proc_state "$pid")
    # Gone, reused by another process, or a zombie (ended; only the reaping is left).
    [ -n "$state" ] && [ "${state#* }" = "$start" ] && [ "${state%% *}" != Z ]
}

rig_kill()
{
    local name=$1
    local pid=${RIG_PIDS[$name]:-} start=${RIG_STARTS[$name]:-}
    [ -n "$pid" ] || return 0
    unset "RIG_PIDS[$name]"
    _rig_alive_as "$pid" "$start" || {
        wait "$pid" 2>/dev/null || true
        return 0
    }
    # The process leads its own session: signal the group, so children go too. It may end
    # (and be reaped) between the check above and here: no error, under set -e least of all.
    kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null || true
    local limit_ns=$(($(date +%s%N) + RIG_TIMEOUT * 1000000000))
    while _rig_alive_as "$pid" "$start"; do
        if [ "$(date +%s%N)" -ge "$limit_ns" ]; then
            _rig_log "$name ($pid) ignored TERM, killing it"
            kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
            break
        fi
        sleep 0.02
    done
    wait "$pid" 2>/dev/null || true
    return 0
}

rig_wait_for_exit()
{
    local name=$1 timeout=${2:-$RIG_TIMEOUT}
    rig_wait_until "$timeout" "$name to end" eval '! _rig_alive_as "${RIG_PIDS[$name]:-}" "${RIG_STARTS[$name]:-}"'
}

rig_stop()
{
    [ "$_RIG_STOPPED" = 1 ] && return 0
    _RIG_STOPPED=1
    local failed=${1:-0} i
    for ((i = ${#RIG_NAMES[@]} - 1; i >= 0; i--)); do
        rig_kill "${RIG_NAMES[$i]}"
    done
    if [ -n "$RIG_DIR" ] && [ -d "$RIG_DIR" ]; then
        if [ "${RIG_KEEP:-0}" = 1 ] || { [ "$failed" != 0 ] && [ "${RIG_KEEP_FAILED:-0}" = 1 ]; }; then
            _rig_log "kept $RIG_DIR"
        else
            rm -rf "$RIG_DIR"
        fi
    fi
    return 0
}

_rig_on_exit()
{
    local status=$?
    # A test's set -e must not turn a hiccup while tidying up into its own failure.
    set +e
    rig_stop "$status"
    exit $status
}

_rig_on_signal()
{
    set +e
    _rig_log "interrupted"
    rig_stop 130
    trap - EXIT
    exit 130
}

_rig_display_answers() { xdpyinfo -display "$1" >/dev/null 2>&1; }

_rig_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Some window manager holds the root's substructure redirect: it manages the windows.
_rig_wm_redirects() { xwininfo -root -events 2>/dev/null | grep -q SubstructureRedirect; }

# Starts window manager $1 with a private HOME and its own minimal settings where the
# defaults do not suit a headless test (twm places new windows by hand unless told not to).
_rig_spawn_wm()
{
    local wm=$1
    command -v "$wm" >/dev/null || rig_fail "$wm is not installed (run scripts/bootstrap)"
    mkdir -p "$RIG_DIR/home"
    case $wm in
    openbox) rig_spawn "$wm" env HOME="$RIG_DIR/home" openbox --sm-disable ;;
    i3)
        # Without a bar, whose tray would take the icons from trayer.
        # (A file without the version line is taken for an old one and given a bar.)
        printf '# i3 config file (v4)\nfont pango:DejaVu Sans Mono 8\n' >"$RIG_DIR/i3.config"
        rig_spawn "$wm" env HOME="$RIG_DIR/home" i3 -c "$RIG_DIR/i3.config"
        ;;
    twm)
        # Debian's settings (fonts, bindings), placing windows without asking.
        { cat /etc/X11/twm/system.twmrc; printf 'RandomPlacement\nUsePPosition "on"\n'; } >"$RIG_DIR/twmrc"
        rig_spawn "$wm" env HOME="$RIG_DIR/home" twm -f "$RIG_DIR/twmrc"
        ;;
    fluxbox)
        # Its style's wallpaper fails on Xvfb, and the message about it would be a window.
        mkdir -p "$RIG_DIR/home/.fluxbox"
        echo 'background: none' >"$RIG_DIR/home/.fluxbox/overlay"
        rig_spawn "$wm" env HOME="$RIG_DIR/home" fluxbox
        ;;
    awesome | bspwm | dwm) rig_spawn "$wm" env HOME="$RIG_DIR/home" "$wm" ;;
    *) rig_fail "rig_start: unknown window manager $wm" ;;
    esac
}

rig_start()
{
    local tray=0 wm=${RIG_WM:-openbox}
    while [ $# -gt 0 ]; do
        case $1 in
        --tray) tray=1 ;;
        --no-wm) wm= ;;
        --wm)
            wm=${2:-}
            shift
            ;;
        *) rig_fail "rig_start: unknown option $1" ;;
        esac
        shift
    done
    RIG_WM=$wm
    export RIG_WM
    for arg in Xvfb xdpyinfo xprop xdotool xterm; do
        command -v "$arg" >/dev/null || rig_fail "$arg is not installed (run scripts/bootstrap)"
    done
    RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kx-rig.XXXXXX")
    # Sockets and other per-session files of the programs under test stay in the test's folder.
    export XDG_RUNTIME_DIR=$RIG_DIR/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    _RIG_STOPPED=0
    trap _rig_on_exit EXIT
    trap _rig_on_signal INT TERM

    # -displayfd lets the server pick a free display number itself (no race between
    # tests looking for one) and report it once it listens.
    local numberfile=$RIG_DIR/display-number
    rig_spawn Xvfb Xvfb -displayfd 5 -screen 0 "${RIG_SCREEN:-1280x1024}x24" -nolisten tcp -noreset 5>"$numberfile"
    rig_wait_until "$RIG_TIMEOUT" "Xvfb to choose a display" grep -q '^[0-9]' "$numberfile"
    local number
    number=$(head -n 1 "$numberfile")
    export DISPLAY=:$number
    rig_wait_until "$RIG_TIMEOUT" "Xvfb on $DISPLAY" _rig_display_answers "$DISPLAY"

    if [ -n "$wm" ]; then
        _rig_spawn_wm "$wm"
        rig_wait_until "$RIG_TIMEOUT" "$wm (substructure redirect on the root)" _rig_wm_redirects
        if [ "$wm" != twm ]; then
            rig_wait_until "$RIG_TIMEOUT" "$wm (_NET_SUPPORTING_WM_CHECK)" _rig_wm_running
        fi
        # openbox announces itself before its event loop runs, and events that reach it in
        # between can stay queued until another one arrives: a window mapped then (trayer's
        # panel) would never appear. A round trip proves the loop runs and the queue is empty
        # (awesome answers only once its configuration has been run).
        rig_wait_for_wm_idle
    fi
    if [ "$tray" = 1 ]; then
        rig_start_tray
    fi
}

_rig_tray_ready()
{
    local panel
    panel=$(xdotool search --onlyvisible --class '^trayer$' 2>/dev/null | head -n 1)
    [ -n "$panel" ] || return 1
    if [ -n "${RIG_PROBE:-}" ] && [ -x "$RIG_PROBE" ]; then
        "$RIG_PROBE" selection-owner _NET_SYSTEM_TRAY_S0 >/dev/null || return 1
    fi
}

# What the screen shows of trayer, for the log when its panel does not come up.
_rig_tray_state()
{
    local owner="no owner" w
    if [ -n "${RIG_PROBE:-}" ] && [ -x "$RIG_PROBE" ]; then
        owner=$("$RIG_PROBE" selection-owner _NET_SYSTEM_TRAY_S0) || owner="no owner"
    fi
    printf 'tray selection: %s;' "$owner"
    for w in $(xdotool search --class '^trayer$' 2>/dev/null); do
        printf ' window %s %s;' "$w" "$(xwininfo -id "$w" 2>/dev/null | sed -n 's/.*Map State: //p')"
    done
}

_rig_tray_ready_within()
{
    local limit_ns=$(($(date +%s%N) + $1 * 1000000000))
    until _rig_tray_ready; do
        [ "$(date +%s%N)" -lt "$limit_ns" ] || return 1
        sleep 0.02
    done
}

rig_start_tray()
{
    command -v trayer >/dev/null || rig_fail "trayer is not installed"
    local attempt
    for attempt in 1 2 3; do
        rig_spawn trayer trayer --edge bottom --align right --widthtype request --height 28 \
            --SetDockType true --SetPartialStrut true --transparent false --expand true
        # Its panel waits for the window manager to map it; make sure openbox is not sitting
        # on the request.
        rig_wait_for_wm_idle
        _rig_tray_ready_within "$RIG_TIMEOUT" && return 0
        # Not seen since the round trip above; logged and tried again rather than waited for.
        _rig_log "trayer did not come up (attempt $attempt): $(_rig_tray_state) $(tail -c 300 "$RIG_DIR/trayer.log")"
        rig_kill trayer
    done
    rig_fail "trayer (tray selection owned, panel visible) did not come up in 3 attempts"
}

# Prints the ids of viewable windows whose title is exactly $1.
_rig_find_window()
{
    local title=$1 pattern
    # xdotool matches a regular expression; escape the title to match it literally.
    pattern=$(printf '%s' "$title" | sed 's/[][\.^$*+?(){}|/]/\\&/g')
    xdotool search --onlyvisible --name "^${pattern}\$" 2>/dev/null
}

_rig_window_exists() { [ -n "$(_rig_find_window "$1")" ]; }
_rig_window_gone() { [ -z "$(_rig_find_window "$1")" ]; }

rig_wait_for_window()
{
    local title=$1 timeout=${2:-$RIG_TIMEOUT} id
    # The id comes from the same search that saw the window: a second search can come back
    # empty (xdotool gives up when another window vanishes during its walk), and an empty id
    # would send the test's next step nowhere.
    local limit_ns=$(($(date +%s%N) + timeout * 1000000000))
    while :; do
        id=$(_rig_find_window "$title" | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        [ "$(date +%s%N)" -lt "$limit_ns" ] || rig_fail "timed out after ${timeout} s waiting for window '$title'"
        sleep 0.02
    done
}

rig_wait_for_no_window()
{
    local title=$1 timeout=${2:-$RIG_TIMEOUT}
    rig_wait_until "$timeout" "window '$title' to disappear" _rig_window_gone "$title"
}

_rig_file_has_bytes()
{
    [ -f "$1" ] && [ "$(stat -c %s "$1")" -ge "$2" ]
}

rig_wait_for_file_bytes()
{
    local file=$1 n=$2 timeout=${3:-$RIG_TIMEOUT}
    rig_wait_until "$timeout" "$n bytes in $file (has $(stat -c %s "$file" 2>/dev/null || echo none))" \
        _rig_file_has_bytes "$file" "$n"
}

_rig_active_is()
{
    local want=$(($1)) active
    active=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    [ -n "$active" ] && [ $((active)) -eq "$want" ]
}

rig_wait_for_active()
{
    local window=$1 timeout=${2:-$RIG_TIMEOUT}
    [ -n "$window" ] || rig_fail "rig_wait_for_active: no window given (an earlier wait failed)"
    rig_wait_until "$timeout" "window $window to become active" _rig_active_is "$window"
}

# Without the probe (a script run by hand), the window manager counts as caught up once it
# has used no CPU for a short while.
_rig_wm_idle()
{
    local pid=${RIG_PIDS[${RIG_WM:-none}]:-}
    [ -n "$pid" ] || return 0
    local a b
    a=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep 0.1
    b=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    [ "$a" = "$b" ]
}

rig_wait_for_wm_idle()
{
    local timeout=${1:-$RIG_TIMEOUT}
    [ -n "${RIG_WM:-}" ] && [ -n "${RIG_PIDS[$RIG_WM]:-}" ] || return 0
    if [ -n "${RIG_PROBE:-}" ] && [ -x "$RIG_PROBE" ]; then
        "$RIG_PROBE" wm-roundtrip "$timeout" >/dev/null || rig_fail "$RIG_WM did not answer a round trip within $timeout s"
    else
        rig_wait_until "$timeout" "$RIG_WM to become idle" _rig_wm_idle
    fi
}

rig_xterm()
{
    local title=$1 capture=$2
    shift 2
    rm -f "$capture"
    # The capture file is created by the redirection, after stty has made the terminal
    # raw: its existence says the capture is ready. A cooked terminal would cut lines and
    # echo.
    LC_ALL=C.UTF-8 LANG=C.UTF-8 rig_spawn "xterm:$title" xterm -u8 -fa 'DejaVu Sans Mono' -fs 10 \
        -geometry 80x24 -T "$title" "$@" -e sh -c 'stty raw -echo && exec cat > "$0"' "$capture"
    RIG_LAST_WINDOW=$(rig_wait_for_window "$title") || exit 1
    rig_wait_until "$RIG_TIMEOUT" "capture of '$title' to start" test -e "$capture"
}

# The input focus is on WINDOW (xdotool reports the client window that holds it).
_rig_has_focus() { [ "$(($(xdotool getwindowfocus 2>/dev/null || echo -1)))" -eq "$(($1))" ]; }

rig_use_window()
{
    local window=$1
    [ -n "$window" ] || rig_fail "rig_use_window: no window given (an earlier wait failed)"
    # Raised first, as clicking raises it under most managers (not twm), so that no other
    # window covers the point; the pointer comes from the screen's corner opposite the
    # window, so that it enters the window even when it was there already (managers that focus the window the pointer
    # enters see nothing otherwise).
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool windowraise "$window" \
        mousemove $((X + WIDTH / 2 < 640 ? 1279 : 0)) $((Y + HEIGHT / 2 < 512 ? 1023 : 0)) \
        mousemove --window "$window" 20 20 click 1
    rig_wait_until "$RIG_TIMEOUT" "window $window to get the keyboard focus" _rig_has_focus "$window"
}

rig_screenshot()
{
    import -display "$DISPLAY" -window root "$1"
}
