# Fuzz targets of the effect core and the LV2 plug-in: the session state decoder, and the
# LV2 instance's reading of its atom input and writing of its output.
set(core_corpus "${CMAKE_CURRENT_SOURCE_DIR}/corpus")
orvo_add_fuzzer(effect_state SOURCES fuzz_effect_state.cpp
                LIBS orvo_core orvo_platform_headless orvo_resources
                CORPUS "${core_corpus}/effect_state")
if(TARGET orvo_lv2_instance)
    orvo_add_fuzzer(lv2_run SOURCES fuzz_lv2_run.cpp
                    LIBS orvo_lv2_instance orvo_platform_headless orvo_resources
                    CORPUS "${core_corpus}/lv2_run")
endif()
