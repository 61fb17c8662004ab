#!/usr/bin/env bash
# Ardour 7 plays the input through Orvo and records the result, headless, with a home,
# configuration and cache folder of the test's own. MODULE is Orvo.so (a Linux VST: Ardour's
# VST scanner runs first, in its own process, over a folder that holds only Orvo.so) or the
# Orvo.lv2 bundle (found through LV2_PATH, a folder that holds only the bundle). Then
# ardour7-lua makes the session and records (ardour-render.lua). The take must equal the VST
# module's direct render at the engine's block size.
source "$(dirname "$0")/common.sh"

# The input starts with half a second of silence, rounded up to whole blocks: Ardour fades
# its output in over the first cycles after the transport starts (a declick that no setting
# turns off), and the silence takes it. Orvo hears the same silence in the direct render.
rate=48000 block=1024
lead=$(((rate / 2 + block - 1) / block * block))
direct_render "$rate" "$block" "$lead"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME/ardour7/export" "$work/vst" "$work/lv2"
# Ardour looks for Linux VSTs on the path of its rc file, and only there.
cat >"$XDG_CONFIG_HOME/ardour7/config" <<CONFIG
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="plugin-path-lxvst" value="$work/vst"/>
    <Option name="use-lxvst" value="1"/>
    <Option name="denormal-model" value="DenormalNone"/>
  </Config>
</Ardour>
CONFIG

scan_vst() {
    # The scanner stamps its cache entry with the module's time in whole seconds, and Ardour
    # takes an entry older than the module for stale (and then ignores the module until a new
    # scan): give the copy a whole-second time.
    cp "$module" "$work/vst/Orvo.so"
    touch -d @1700000000 "$work/vst/Orvo.so"
    LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner "$work/vst/Orvo.so" \
        >"$work/scan.log" 2>&1 ||
        { cat "$work/scan.log"; echo "FAIL: Ardour's VST scanner failed"; exit 1; }
    if ! ls "$XDG_CACHE_HOME"/ardour7/vst/*.v2i >/dev/null 2>&1; then
        cat "$work/scan.log"
        echo "FAIL: the scanner wrote no cache entry for Orvo.so"
        exit 1
    fi
}

start=$SECONDS
if [[ -d $module ]]; then
    # The bundle is found through LV2_PATH alone; the program is its preset of that name and
    # the settings are port values (Tube in %, Tuning in semitones).
    cp -r "$module" "$work/lv2/"
    export LV2_PATH=$work/lv2
    plugin=(LV2 urn:quorvane:orvo "$program" "${lv2_params[@]}")
else
    plugin=(LXVST Orvo "$program" "${params[@]}")
    scan_vst
fi

session=$work/orvo
# One step of ardour-render.lua in a process of its own; its status is ardour7-lua's.
run_lua() {
    timeout 120 ardour7-lua "$here/ardour-render.lua" "$1" "$session" "$work/input.wav" \
        "$block" "${@:2}" >"$work/$1.log" 2>&1
}
# Ardour's Lua host has been seen to die of a segmentation fault once in some forty runs,
# while making or recording the session; Orvo then passed every later run. Such a death
# makes the session again from nothing, once; any other failure, or a second one, fails.
for attempt in 1 2; do
    rm -rf "$session"
    status=0
    run_lua create && run_lua record "${plugin[@]}" || status=$?
    [[ $status == 139 && $attempt == 1 ]] || break
    echo "ardour7-lua died of a segmentation fault; making the session once more"
done
if [[ $status != 0 ]]; then
    cat "$work"/create.log "$work"/record.log 2>/dev/null || true
    echo "FAIL: ardour7-lua failed (status $status)"
    exit 1
fi
grep "Orvo in Ardour" "$work/record.log"
version=$(ardour7-lua --version 2>/dev/null | head -n 1)
echo "$version: ${plugin[0]} loaded and recorded in $((SECONDS - start)) s"

take=$session/interchange/orvo/audiofiles/Take1_Capture-1
"$compare" "$work/direct.wav" "$work/input.wav" "$take%L.wav" "$take%R.wav"
