# Shared by the host tests: arguments, the skip rule, the input and the direct render.
#   run-HOST.sh MODULE ORVO_SO ORVO_RENDER COMPARE WORK_DIR
set -euo pipefail
module=$1 orvo_so=$2 orvo_render=$3 compare=$4 work=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [[ ${ORVO_HOST_TESTS:-0} != 1 ]]; then
    echo "skipped: the host tests run with ORVO_HOST_TESTS=1 (ctest --preset hosts)"
    exit 77
fi

# The program and the two parameters that the host sets: "Pushed" has no muted band, and
# Tube and Tuning move the curve and every crossover away from the program's values. The
# settings as normalised values (VST 2) and as LV2 port values (50 %, -3 semitones).
program=Pushed
program_number=4
params=(10=0.75 11=0.375)
lv2_params=(10=50 11=-3)

rm -rf "$work"
mkdir -p "$work"

# direct_render RATE BLOCK [LEAD]: the input at RATE (after LEAD frames of silence) and
# Orvo.so's render of it in blocks of BLOCK.
direct_render() {
    "$compare" --input "$1" "$work/input.wav" "${3:-0}"
    local args=()
    for p in "${params[@]}"; do args+=(--param "${p%%=*}=norm:${p#*=}"); done
    "$orvo_render" --quiet --plugin "$orvo_so" --program "$program" "${args[@]}" --block "$2" \
        "$work/input.wav" "$work/direct.wav"
}

# private_shm SCRIPT ARGUMENTS...: runs the script again in a mount namespace with a /dev/shm
# of its own, where the test may make one (as root). JACK keeps its servers in a registry in
# /dev/shm with room for eight; servers that ended without signing off (on this machine, from
# any program) keep their places there, and a full registry stops jackd with "Too many
# servers already active". In its own /dev/shm the test's JACK server neither meets other
# servers' leftovers nor leaves any of its own.
private_shm() {
    if [[ -z ${ORVO_PRIVATE_SHM:-} ]] && unshare --mount --propagation private true 2>/dev/null; then
        export ORVO_PRIVATE_SHM=1
        exec unshare --mount --propagation private bash -c \
            'mount -t tmpfs -o mode=1777 orvo-test-shm /dev/shm ||
                 echo "note: JACK shares /dev/shm with the rest of the machine"
             exec bash "$@"' \
            "$(basename "$1")" "$@"
    fi
}

# stop PID: asks the process to end, then ends it (a host inside a modal message box does not
# look at its quit flag until the box closes).
stop() {
    kill "$1" 2>/dev/null || return 0
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.2
    done
    kill -KILL "$1" 2>/dev/null || true
}

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds, at most SECONDS seconds.
wait_for() {
    local until=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < until)) || return 1
        sleep 0.2
    done
}
