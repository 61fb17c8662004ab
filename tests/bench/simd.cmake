# The vector filter kernels against the scalar step: the eight crossover low-passes of a run
# and the oversampled path's interpolation and decimation pair, per instruction set.
if(TARGET orvo_dsp)
    orvo_add_benchmark(orvo_simd_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/SimdBench.cpp ${CMAKE_CURRENT_LIST_DIR}/FloorBench.cpp
                       LIBS orvo_dsp)
endif()
