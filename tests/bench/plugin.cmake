# A processing call with the real chain, with and without MIDI: queueing, sample-accurate
# dispatch, thru and mapped controllers.
if(TARGET orvo_platform_headless)
    orvo_add_benchmark(orvo_plugin_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/PluginBench.cpp"
                       LIBS orvo_editor orvo_vst2 orvo_platform_headless)
endif()
