#!/usr/bin/env bash
# Every character arrives exactly, under the us and the de layout, in the activated window,
# also more missing characters than spare keycodes, and the keymap is the same afterwards.
set -euo pipefail
source "$(dirname "$0")/x11_lib.sh"
x11_start_target
rig_xterm "Anderes" "$RIG_DIR/other"

ascii=$(printf '%b' "$(printf '\\%03o' $(seq 32 126))")
printf '%s\n%s\täöüÄÖÜß€§°µ\nΩ ✓ 😀 Ende\n' "$ascii" "$ascii" >"$RIG_DIR/text"
# Enter arrives as CR in a raw terminal.
tr '\n' '\r' <"$RIG_DIR/text" >"$RIG_DIR/expected"
size=$(stat -c %s "$RIG_DIR/expected")

for layout in us de; do
    setxkbmap "$layout"
    rig_wait_for_wm_idle
    "$probe" keymap >"$RIG_DIR/keymap.before"
    before=$(stat -c %s "$RIG_DIR/target")
    # "Anderes" is active; typing must go to "Ziel" once it is activated.
    "$probe" type --window "$target" "$RIG_DIR/text"
    rig_wait_for_active "$target"
    rig_wait_for_file_bytes "$RIG_DIR/target" $((before + size))
    tail -c +$((before + 1)) "$RIG_DIR/target" >"$RIG_DIR/got.$layout"
    cmp "$RIG_DIR/expected" "$RIG_DIR/got.$layout" || {
        diff <(od -c "$RIG_DIR/expected") <(od -c "$RIG_DIR/got.$layout") || true
        rig_fail "layout $layout: typed text differs"
    }
    "$probe" keymap >"$RIG_DIR/keymap.after"
    diff "$RIG_DIR/keymap.before" "$RIG_DIR/keymap.after" || rig_fail "layout $layout: keymap changed"
    [ ! -s "$RIG_DIR/other" ] || rig_fail "layout $layout: the other window received keys"
    "$probe" activate "$(xdotool search --name '^Anderes$')"
done

# More distinct characters missing from the layout than there are spare keycodes: the
# keycodes are rebound in rounds, and every character still arrives in order. Greek and
# Cyrillic letters, each twice, interleaved with ASCII: more than twice the spares.
spares=$(grep -c ': 0 0 0 0' "$RIG_DIR/keymap.before" || true)
letters=(α β γ δ ε ζ η θ ι κ λ μ ν ξ ο π ρ σ τ υ φ χ ψ ω б в г д ж з и й к л м н п ф ц ч ш щ)
[ "${#letters[@]}" -gt $((2 * spares)) ] || rig_fail "test needs more letters than 2 x $spares spares"
text=
for l in "${letters[@]}" "${letters[@]}"; do text+="$l-"; done
printf '%s\n' "$text" >"$RIG_DIR/many"
printf '%s\r' "$text" >"$RIG_DIR/expected"
before=$(stat -c %s "$RIG_DIR/target")
"$probe" type --window "$target" "$RIG_DIR/many"
rig_wait_for_file_bytes "$RIG_DIR/target" $((before + $(stat -c %s "$RIG_DIR/expected")))
tail -c +$((before + 1)) "$RIG_DIR/target" | cmp "$RIG_DIR/expected" - || rig_fail "many missing characters: typed differently"
"$probe" keymap | diff "$RIG_DIR/keymap.before" - || rig_fail "many missing characters: keymap changed"

# Caps Lock does not change what is typed.
xdotool key Caps_Lock
printf 'abc XYZ\n' >"$RIG_DIR/caps"
before=$(stat -c %s "$RIG_DIR/target")
"$probe" type --window "$target" "$RIG_DIR/caps"
rig_wait_for_file_bytes "$RIG_DIR/target" $((before + 8))
[ "$(tail -c +$((before + 1)) "$RIG_DIR/target")" = $'abc XYZ\r' ] || rig_fail "Caps Lock changed the text"
echo "typing fidelity passed"
