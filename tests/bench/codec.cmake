# Decoding and encoding stored images: decoding all the editor's images happens on every
# editor open.
if(TARGET orvo_toolkit)
    orvo_add_benchmark(orvo_codec_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/CodecBench.cpp"
                       LIBS orvo_toolkit)
    if(TARGET orvo_codec_bench)
        target_compile_definitions(orvo_codec_bench PRIVATE ORVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    endif()
endif()
