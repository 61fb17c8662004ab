// The wider instruction set that a per-set source of this folder is built for. CMake
// compiles each such source once per set, defining ORVO_SIMD_AVX2 or ORVO_SIMD_AVX512. The
// set is switched on per function between ORVO_SIMD_TARGET_BEGIN and ORVO_SIMD_TARGET_END,
// never by compile flags: an inline function that such a file shares with the rest of the
// program must not end up built for a set the processor may lack.
#pragma once

#if defined(ORVO_SIMD_AVX512)
// The AVX-512 kernels also use the 256-bit forms (VL); BestSimdLevel asks for both.
#define ORVO_SIMD_TARGET "avx512f,avx512vl"
#define ORVO_SIMD_NAME(base) base##Avx512
#elif defined(ORVO_SIMD_AVX2)
#define ORVO_SIMD_TARGET "avx2"
#define ORVO_SIMD_NAME(base) base##Avx2
#else
#error "a per-set source needs ORVO_SIMD_AVX2 or ORVO_SIMD_AVX512 (dsp/simd/CMakeLists.txt)"
#endif

#define ORVO_SIMD_PRAGMA_TEXT(text) _Pragma(#text)
#define ORVO_SIMD_PRAGMA(text) ORVO_SIMD_PRAGMA_TEXT(text)
#if defined(__clang__)
#define ORVO_SIMD_TARGET_BEGIN                                                                     \
    ORVO_SIMD_PRAGMA(                                                                              \
        clang attribute push(__attribute__((target(ORVO_SIMD_TARGET))), apply_to = function))
#define ORVO_SIMD_TARGET_END _Pragma("clang attribute pop")
#else
#define ORVO_SIMD_TARGET_BEGIN                                                                     \
    _Pragma("GCC push_options") ORVO_SIMD_PRAGMA(GCC target(ORVO_SIMD_TARGET))
#define ORVO_SIMD_TARGET_END _Pragma("GCC pop_options")
#endif
