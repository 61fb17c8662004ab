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
