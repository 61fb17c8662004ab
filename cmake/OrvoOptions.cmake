# orvo_options: the flags every target of the project links instead of global flags.
add_library(orvo_options INTERFACE)
target_compile_features(orvo_options INTERFACE cxx_std_20)

# Every build of the same source must give the same samples: no contraction of a*b+c
# into fused multiply-adds, no fast-math, and SSE2 arithmetic on 32-bit x86 (whose
# default x87 unit rounds through 80-bit registers).
target_compile_options(orvo_options INTERFACE
    -ffp-contract=off -fno-fast-math
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
    -Wno-missing-field-initializers)
# A packager may name other flags for 32-bit x86; the default keeps every build's output
# bit-identical to the 64-bit builds' and to the golden renders (with x87 arithmetic it is not).
set(ORVO_X86_FP_FLAGS "-msse2;-mfpmath=sse" CACHE STRING
    "Floating-point flags for 32-bit x86 builds (the default gives bit-identical output)")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
    target_compile_options(orvo_options INTERFACE ${ORVO_X86_FP_FLAGS})
endif()
# Windows (mingw-w64): GCC there cannot align the stack beyond 16 bytes, so vector registers
# spilled by the AVX kernels are moved with unaligned instructions; and the C and C++
# runtimes are linked into every binary, which then needs Windows system DLLs only.
if(MINGW)
    target_compile_options(orvo_options INTERFACE -Wa,-muse-unaligned-vector-move)
    target_link_options(orvo_options INTERFACE -static)
    # GCC 12 warns wrongly about std::string's operator+ at -O3 for 32-bit targets (its bug
    # 105329); the warning stays on everywhere else.
    if(CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(orvo_options INTERFACE -Wno-restrict)
    endif()
endif()
if(ORVO_WERROR)
    target_compile_options(orvo_options INTERFACE -Werror)
endif()

if(ORVO_SANITIZE)
    list(JOIN ORVO_SANITIZE "," orvo_sanitizers)
    target_compile_options(orvo_options INTERFACE
        -fsanitize=${orvo_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(orvo_options INTERFACE -fsanitize=${orvo_sanitizers})
endif()
if(ORVO_FUZZ)
    target_compile_options(orvo_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Libraries linked into the plug-in module must be position independent and keep
# their symbols hidden: the module exports its entry and nothing else.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_C_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

# orvo_limit_exports(TARGET SCOPE MAP): links TARGET (SCOPE PRIVATE for a module, INTERFACE
# for the object library a module links) with the version script MAP, which names the only
# symbols the module exports, and refuses unresolved symbols (except under the sanitizers,
# whose runtimes live in the host executable); an edited MAP relinks. ELF only.
function(orvo_limit_exports target scope map)
    if(WIN32 OR APPLE)
        return()
    endif()
    target_link_options(${target} ${scope} "LINKER:--version-script=${map}")
    if(scope STREQUAL "INTERFACE")
        set_property(TARGET ${target} APPEND PROPERTY INTERFACE_LINK_DEPENDS "${map}")
    else()
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${map}")
    endif()
    if(NOT ORVO_SANITIZE AND NOT ORVO_FUZZ)
        target_link_options(${target} ${scope} "LINKER:--no-undefined")
    endif()
endfunction()
