# ns per stereo frame of both processing chains at 44.1 kHz (the chain's figures).
orvo_add_benchmark(orvo_dsp_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/DspBench.cpp"
                    LIBS orvo_dsp orvo_resources)
