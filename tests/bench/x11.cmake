# The Linux editor on a real X display: effEditOpen to the first complete picture, and an
# idle call with nothing to do. Run it under tests/x11/WithXvfb.sh where no desktop is.
if(TARGET orvo_platform_x11 AND TARGET orvo_platform_headless)
    orvo_add_benchmark(orvo_x11_editor_bench SOURCES "${CMAKE_CURRENT_LIST_DIR}/X11EditorBench.cpp"
                       LIBS orvo_vst2 orvo_platform_x11 orvo_platform_headless orvo_test_host)
endif()
