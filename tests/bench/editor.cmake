# Opening the editor (image decoding, building the window, first paint) and its refresh.
if(TARGET orvo_editor AND TARGET orvo_platform_headless)
    orvo_add_benchmark(orvo_editor_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/EditorBench.cpp"
                       LIBS orvo_vst2 orvo_platform_headless orvo_test_host)
endif()
