# Composing the editor-sized window: every repaint of the editor goes through it.
if(TARGET orvo_toolkit AND TARGET orvo_platform_headless)
    orvo_add_benchmark(orvo_toolkit_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/ToolkitBench.cpp"
                       LIBS orvo_toolkit orvo_platform_headless)
endif()
