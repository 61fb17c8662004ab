# Turns one file into a C++ source holding its bytes, at build time and without any tool
# beyond CMake itself:
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P EmbedBytes.cmake
# The source defines orvo::resources::<SYMBOL>Bytes (the bytes followed by one NUL that is
# not counted) and orvo::resources::<SYMBOL>Size.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Twenty bytes to a line keeps the generated source readable in a debugger.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){20})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT} by EmbedBytes.cmake; do not edit.
#include <cstddef>

namespace orvo::resources
{
extern const unsigned char ${SYMBOL}Bytes[];
extern const std::size_t ${SYMBOL}Size;
const unsigned char ${SYMBOL}Bytes[] = {
    ${bytes}0x00};
const std::size_t ${SYMBOL}Size = ${size};
} // namespace orvo::resources
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
