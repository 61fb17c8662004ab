#!/bin/sh
# Starts or stops a virtual X display kept in FOLDER (see cmake/XvfbFixture.cmake).
#   xvfb.sh start FOLDER XVFB     writes ":N" to FOLDER/display and the pid to FOLDER/pid
#   xvfb.sh stop FOLDER
set -eu
action=$1
folder=$2
case $action in
start)
    if [ -s "$folder/pid" ]; then kill "$(cat "$folder/pid")" 2>/dev/null || true; fi
    rm -rf "$folder"
    mkdir -p "$folder"
    # Xvfb picks a free display number and writes it to descriptor 3.
    setsid "$3" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$folder/number" </dev/null >"$folder/log" 2>&1 &
    echo $! >"$folder/pid"
    for _ in $(seq 100); do
        if [ -s "$folder/number" ]; then
            echo ":$(head -n 1 "$folder/number")" >"$folder/display"
            echo "Xvfb on $(cat "$folder/display")"
            exit 0
        fi
        sleep 0.1
    done
    cat "$folder/log" >&2
    echo "Xvfb did not start" >&2
    exit 1
    ;;
stop)
    if [ -s "$folder/pid" ]; then kill "$(cat "$folder/pid")" 2>/dev/null || true; fi
    rm -f "$folder/pid" "$folder/display"
    ;;
esac
