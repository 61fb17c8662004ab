# orvo_version: an interface target whose users include "uOrvoVersion.h", the project()
# version as constants. Nothing else in the tree writes a version number.
configure_file("${CMAKE_CURRENT_LIST_DIR}/uOrvoVersion.h.in"
               "${CMAKE_BINARY_DIR}/generated/uOrvoVersion.h" @ONLY)
add_library(orvo_version INTERFACE)
target_include_directories(orvo_version INTERFACE "${CMAKE_BINARY_DIR}/generated")
