# Decoding and encoding stored images: decoding all the editor's images happens on every
# editor open.
if(TARGET orvo_toolkit)
    orvo_add_benchmark(orvo_codec_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/CodecBench.cpp"
                       LIBS orvo_toolkit)
endif()
