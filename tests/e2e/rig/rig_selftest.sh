#!/usr/bin/env bash
# The rig leaves no process behind, whether a test fails or is terminated. (That its capture
# terminal receives what is typed, every test that types into one shows.)
set -uo pipefail
: "${RIG_LIB:=$(dirname "$0")/rig.sh}"
export RIG_LIB
work=$(mktemp -d)
child=
trap '[ -n "$child" ] && kill "$child" 2>/dev/null && wait "$child" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A child test that starts a full rig, records what it started, then ends as $1 says.
cat >"$work/child.sh" <<'CHILD'
source "$RIG_LIB"
rig_start --tray
rig_xterm "Rig Probe" "$RIG_DIR/capture"
for n in "${RIG_NAMES[@]}"; do rig_pid "$n"; done >"$OUT/pids.tmp"
echo "$RIG_DIR" >"$OUT/dir"
mv "$OUT/pids.tmp" "$OUT/pids"
case $1 in
fail) rig_fail "deliberate failure" ;;
hang) rig_wait_until 60 "something that never happens" false ;;
esac
CHILD

all_gone() { while read -r pid; do [ ! -e "/proc/$pid" ] || return 1; done <"$1"; }
wait_for()
{
    local what=$1 i
    shift
    for i in $(seq 1 1000); do
        "$@" && return 0
        sleep 0.02
    done
    fail "timed out waiting for $what"
}

for mode in fail hang; do
    out=$work/$mode
    mkdir "$out"
    # Its deliberate failures are no news for a soak run's log, and it must tidy up even
    # where failed tests are told to keep their folders.
    OUT=$out RIG_EVENT_LOG= RIG_KEEP= RIG_KEEP_FAILED= bash "$work/child.sh" "$mode" 2>"$out/stderr" &
    child=$!
    wait_for "the $mode child to start its rig" test -e "$out/pids"
    [ "$(wc -l <"$out/pids")" -eq 4 ] || fail "$mode: expected 4 processes, got $(cat "$out/pids")"
    [ "$mode" = hang ] && kill -TERM "$child"
    wait "$child" && fail "$mode: child reported success"
    child=
    wait_for "$mode: every rig process to end" all_gone "$out/pids"
    [ ! -e "$(cat "$out/dir")" ] || fail "$mode: rig folder $(cat "$out/dir") left behind"
done
echo "rig self-test passed"
