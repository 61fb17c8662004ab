# Shared part of the mingw-w64 cross toolchains: Debian's compilers for the target triple
# ORVO_MINGW_TRIPLE, set by the file that includes this one.
#
# The posix thread model is taken (the compiler names ending in -posix): with GCC 12 only
# that model offers std::thread and std::mutex. Its thread library is linked statically
# with the rest of the runtime, so the binaries depend on Windows system DLLs only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1) # Windows 7 and later

find_program(CMAKE_C_COMPILER NAMES ${ORVO_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${ORVO_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ORVO_MINGW_TRIPLE}-windres REQUIRED)
find_program(CMAKE_OBJDUMP NAMES ${ORVO_MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH "/usr/${ORVO_MINGW_TRIPLE}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under wine on the build machine.
find_program(ORVO_WINE NAMES wine)
if(ORVO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${ORVO_WINE}")
endif()
