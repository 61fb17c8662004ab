# Cross build for 32-bit Windows with Debian's mingw-w64 compilers (g++-mingw-w64-i686).
# orvo_options adds -msse2 -mfpmath=sse for this processor.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVO_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
