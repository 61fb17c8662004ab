#!/usr/bin/env bash
# Jalv (the LV2 reference host, GTK 3) shows Orvo's own editor from the Orvo.lv2 bundle,
# embedded in its window, on an Xvfb display of the test's own, with a JACK server whose
# dummy driver plays no sound card. The host loads factory preset "Pushed" (its title names
# the preset). Then the test opens the editor's menu on the Input fader, chooses "MIDI", then
# "Show MIDI CC Config": the editor asks the DSP instance for its map through the host's atom
# port, the instance answers on its atom output, and the editor shows the answer in its
# message box. Run under tests/x11/WithXvfb.sh.
#   run-jalv.sh BUNDLE ORVO_SO ORVO_RENDER COMPARE WORK_DIR
source "$(dirname "$0")/common.sh"
bundle=$module

private_shm "$0" "$@"

cleanup() {
    [[ -n ${jalv_pid:-} ]] && stop "$jalv_pid"
    [[ -n ${jack_pid:-} ]] && stop "$jack_pid"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done
    exit 1
}

# The top-level windows: "id WIDTHxHEIGHT+X+Y name", one a line.
top_windows() {
    xwininfo -root -children 2>/dev/null |
        sed -n 's/^ *\(0x[0-9a-f]*\) \("[^"]*"\|(has no name)\).* \([0-9]*x[0-9]*+-\?[0-9]*+-\?[0-9]*\) .*/\1 \3 \2/p'
}
cp -r "$bundle" "$work/"
export LV2_PATH=$work HOME=$work XDG_CONFIG_HOME=$work/config JACK_NO_AUDIO_RESERVATION=1
export JACK_DEFAULT_SERVER=orvo-test-$$
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
jack_pid=$!
wait_for 20 jack_lsp >/dev/null 2>&1 || fail "the JACK server did not start"

jalv.gtk3 -p urn:quorvane:orvo:preset:4 urn:quorvane:orvo >"$work/jalv.log" 2>&1 &
jalv_pid=$!

# The editor: a 700 x 300 window inside the host's window named after the preset.
editor_window() {
    xwininfo -root -tree 2>/dev/null | grep -q '"Orvo - Pushed"' &&
        editor=$(xwininfo -root -tree | grep -A8 '"Orvo - Pushed"' |
                     sed -n 's/.*(has no name): ()  700x300+0+0  +\([0-9]*\)+\([0-9]*\).*/\1 \2/p' |
                     head -n 1) &&
        [[ -n $editor ]]
}
wait_for 30 editor_window || fail "no 700 x 300 editor in Jalv's window for preset Pushed"
read -r left top <<<"$editor"
echo "the editor is embedded at $left, $top in Jalv's window, preset Pushed"

# new_window BEFORE: a top-level window not in BEFORE (sets window to its line).
new_window() {
    window=$(top_windows | grep -vxF -f <(printf '%s\n' "$1") | head -n 1)
    [[ -n $window ]]
}
geometry() { # "id WxH+X+Y ..." -> "X Y"
    sed 's/^[^ ]* [0-9]*x[0-9]*+\(-\?[0-9]*\)+\(-\?[0-9]*\).*/\1 \2/' <<<"$1"
}

before=$(top_windows)
xdotool mousemove $((left + 114)) $((top + 150)) click 3
wait_for 10 new_window "$before" || fail "no menu on a right click on the Input fader"
read -r x y < <(geometry "$window")
before=$(top_windows)
xdotool mousemove $((x + 30)) $((y + 36)) click 1 # the second item, "MIDI"
wait_for 10 new_window "$before" || fail "no MIDI submenu"
read -r x y < <(geometry "$window")
before=$(top_windows)
xdotool mousemove $((x + 40)) $((y + 28)) click 1 # its second item, "Show MIDI CC Config"
box_shown() { new_window "$before" && grep -q '"Orvo"$' <<<"$window"; }
wait_for 10 box_shown || fail "the MIDI map report did not come back from the DSP instance"
echo "the report came back from the DSP instance: $window"
