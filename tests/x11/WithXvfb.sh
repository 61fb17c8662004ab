#!/usr/bin/env bash
# Runs a test program on a fresh Xvfb display of its own: Xvfb chooses a free display
# number and reports it through -displayfd, the program runs with DISPLAY set to it, and the
# server ends with the program. -noreset: a server that regenerates when its last client
# disconnects refuses connections for a moment, and the tests connect and disconnect often.
# Exits 77 (skipped) where Xvfb is not installed.
#   WithXvfb.sh program [arguments...]
set -euo pipefail
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "Xvfb is not installed: skipped"
    exit 77
fi
exec {display_fd}< <(exec Xvfb -displayfd 1 -nolisten tcp -noreset -screen 0 1280x1024x24 2>/dev/null)
server=$!
number=""
if ! read -r -t 20 number <&"$display_fd" || [[ -z $number ]]; then
    echo "Xvfb did not start" >&2
    kill "$server" 2>/dev/null || true
    exit 1
fi
status=0
DISPLAY=":$number" "$@" || status=$?
kill "$server" 2>/dev/null || true
wait "$server" 2>/dev/null || true
exit "$status"
