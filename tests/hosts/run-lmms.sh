#!/usr/bin/env bash
# LMMS 1.2 renders the input through the 32-bit Orvo.dll (its VST effect, run by its wine
# server) from the command line, on a virtual X display of its own and in a fresh wine
# prefix and home folder; the output must equal Orvo's direct render at LMMS's block size.
source "$(dirname "$0")/common.sh"

# LMMS's period: 256 frames unless its configuration file says otherwise (a fresh home has none).
rate=44100 block=256
direct_render "$rate" "$block"

if [[ ! -f $module ]]; then
    echo "FAIL: no $module: build it first" \
        "(cmake --preset win32 && cmake --build --preset win32 --target Orvo)"
    exit 1
fi
cp "$module" "$work/Orvo.dll"

# The program and the parameters, as LMMS stores them: "param<n>" = "<index>:<name>:<value>".
dump="numparams=\"${#params[@]}\""
for i in "${!params[@]}"; do
    dump+=" param$i=\"${params[$i]%%=*}:p:${params[$i]#*=}\""
done
sed -e "s|@MODULE@|$work/Orvo.dll|g" -e "s|@INPUT@|$work/input.wav|g" \
    -e "s|@PROGRAM@|$program_number|g" -e "s|@PARAMS@|$dump|g" \
    "$here/lmms-project.mmp.in" >"$work/project.mmp"

export HOME=$work/home WINEPREFIX=$work/home/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME"
exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

# Neutral rendering: no oversampling (-x 1: LMMS would otherwise run at twice the rate and
# resample down), the input's own rate (-s, no resampling), 32-bit float output (-a: no
# conversion to 16 bits, no dither).
start=$SECONDS
lmms --allowroot render "$work/project.mmp" -o "$work/host.wav" -f wav -a -s "$rate" -x 1 \
    >"$work/lmms.log" 2>&1 || { cat "$work/lmms.log"; echo "FAIL: lmms render failed"; exit 1; }
version=$(lmms --allowroot --version 2>/dev/null | head -n 1)
echo "$version: rendered in $((SECONDS - start)) s"
# LMMS's wine server prints the plug-in's unique ID once it has loaded it.
grep -q "unique ID" "$work/lmms.log" ||
    { cat "$work/lmms.log"; echo "FAIL: LMMS did not load Orvo.dll"; exit 1; }
"$compare" "$work/direct.wav" "$work/input.wav" "$work/host.wav"
