#!/usr/bin/env bash
# Qtractor 0.9 (which hosts CLAP, LV2 and VST 2 plug-ins) loads Orvo.clap from a session of
# the test's own, on an Xvfb display, with a JACK server whose dummy driver plays no sound
# card, and plays the input through it while jack_rec records Qtractor's master output; the
# capture must equal the VST module's direct render at JACK's block size. Qtractor has no
# command-line export, and it plays the audio dry when it cannot load a plug-in (a warning in
# its messages log), so the test also reads that log and the session Qtractor saves, whose
# plug-in state must be the state the test gave. Last, a double click on the plug-in in the
# track's plug-in list opens Orvo's own editor, 700 x 300, embedded in a window of Qtractor's.
# Run under tests/x11/WithXvfb.sh.
#   run-qtractor.sh CLAP ORVO_SO ORVO_RENDER COMPARE WORK_DIR SEQ_STUB STATE_TOOL
source "$(dirname "$0")/common.sh"
clap=$module seq_stub=$6 state_tool=$7
private_shm "$0" "$@"

cleanup() {
    [[ -n ${qtractor_pid:-} ]] && stop "$qtractor_pid"
    [[ -n ${rec_pid:-} ]] && stop "$rec_pid"
    [[ -n ${jack_pid:-} ]] && stop "$jack_pid"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done
    exit 1
}

# Qtractor fades a clip in over its first 1024 frames and out over its last partial block:
# the input begins with two blocks of silence and ends with a quarter second of it, so the
# fades fall on silence, as in the direct render.
rate=48000 block=1024 lead=2048
direct_render "$rate" "$block" "$lead"
frames=$((lead + 2 * rate))

# Qtractor ignores a CLAP plug-in's <params> in a session: the settings are the plug-in's own
# state, made by loading the program and setting the two parameters (CLAP values are the
# parameters' plain values, as LV2's ports have them).
state=$("$state_tool" "$clap" --preset "$program" "${lv2_params[@]}") ||
    fail "no state from $clap"

mkdir -p "$work/session" "$work/config/rncbc.org"
sed -e "s|@DIRECTORY@|$work/session|" -e "s|@RATE@|$rate|" -e "s|@INPUT@|$work/input.wav|g" \
    -e "s|@LENGTH@|$frames|" -e "s|@PLUGIN@|$clap|" -e "s|@STATE@|$state|" \
    "$here/qtractor-session.qtr.in" >"$work/session/orvo.qtr"
# A configuration of the test's own: the messages log on, no autosave, no confirmations.
cat >"$work/config/rncbc.org/Qtractor.conf" <<CONFIG
[AutoSave]
Enabled=false

[Options]
Logging\\MessagesLog=true
Logging\\MessagesLogPath=$work/messages.log
Display\\ConfirmRemove=false
Display\\ConfirmArchive=false
CONFIG

export HOME=$work XDG_CONFIG_HOME=$work/config JACK_NO_AUDIO_RESERVATION=1
export JACK_DEFAULT_SERVER=orvo-test-$$
# Synchronous mode: the server waits for every client to finish a cycle, so a busy machine
# makes the run slower instead of dropping blocks from the capture.
jackd --no-realtime --sync --timeout 10000 -n "$JACK_DEFAULT_SERVER" \
    -d dummy -r "$rate" -p "$block" >"$work/jackd.log" 2>&1 &
jack_pid=$!
wait_for 20 jack_lsp >/dev/null 2>&1 || fail "the JACK server did not start"

LD_PRELOAD=$seq_stub qtractor "$work/session/orvo.qtr" >"$work/qtractor.log" 2>&1 &
qtractor_pid=$!
session_open() {
    grep -q "Open session:" "$work/messages.log" 2>/dev/null &&
        jack_lsp 2>/dev/null | grep -q "^Qtractor:Master/out_2$"
}
wait_for 60 session_open || fail "Qtractor did not open the session"
if grep -i "warning\|error" "$work/messages.log"; then
    fail "Qtractor reported a problem while opening the session"
fi

# The capture starts before the transport and lasts a second longer than the clip; the
# comparison finds the block at which the clip starts.
jack_rec -f "$work/host.wav" -d $((frames / rate + 2)) -b 32 \
    Qtractor:Master/out_1 Qtractor:Master/out_2 >"$work/jack_rec.log" 2>&1 &
rec_pid=$!
sleep 0.2
echo "locate 0" | jack_transport >/dev/null
sleep 0.5
echo "play" | jack_transport >/dev/null
wait "$rec_pid" || fail "jack_rec failed"
rec_pid=

# The track's plug-in list, at the left of its row in Qtractor's main window, holds "Orvo".
main_window() {
    window=$(xwininfo -root -tree | grep -m 1 'orvo.qtr.* — Qtractor"' |
                 sed -n 's/.* [0-9]*x[0-9]*+-\?[0-9]*+-\?[0-9]*  +\(-\?[0-9]*\)+\(-\?[0-9]*\)$/\1 \2/p')
    [[ -n $window ]]
}
wait_for 10 main_window || fail "no main window of Qtractor's"
read -r left top <<<"$window"
xdotool mousemove $((left + 175)) $((top + 179)) click --repeat 2 --delay 80 1
editor_shown() {
    xwininfo -root -tree | grep -A3 '"Orvo - Orvo — Qtractor"' | grep -q '(has no name): ()  700x300+0+0'
}
wait_for 20 editor_shown || fail "no 700 x 300 editor of Orvo's in a window of Qtractor's"
echo "Orvo's editor is embedded in Qtractor's plug-in window"

# SIGUSR1 saves the session (SIGTERM then quits: before a save, a dialog would hold it).
kill -USR1 "$qtractor_pid"
wait_for 20 grep -q "Save session:" "$work/messages.log" || fail "Qtractor did not save the session"
stop "$qtractor_pid"
qtractor_pid=

saved=$work/session/orvo.qtr
grep -q "<filename>$clap</filename>" "$saved" || fail "the saved session has no Orvo.clap"
saved_state=$(sed -n '/<config key="state">/,/<\/config>/p' "$saved" |
                  sed -e 's/<[^>]*>//g' | tr -d ' \n')
[[ $("$state_tool" --raw "$saved_state") == $("$state_tool" --raw "$state") ]] ||
    fail "the plug-in's state in the saved session is not the state the session gave it"
if grep -i "warning\|error\|could not" "$work/messages.log"; then
    fail "Qtractor reported a problem"
fi
echo "Qtractor loaded $(basename "$clap") and kept its state; $(grep -c XRun "$work/jackd.log" || true) late cycles"

"$compare" --align "$block" "$work/direct.wav" "$work/input.wav" "$work/host.wav"
