# Fuzz targets of the effect: the dispatcher, MIDI delivery and processing, the factory
# bank reader and the map file reader.
set(plugin_fuzz_libs orvo_editor orvo_vst2 orvo_platform_headless)
set(plugin_corpus "${CMAKE_CURRENT_SOURCE_DIR}/corpus")
orvo_add_fuzzer(plugin_dispatcher SOURCES fuzz_plugin_dispatcher.cpp LIBS ${plugin_fuzz_libs}
                CORPUS "${plugin_corpus}/plugin_dispatcher")
orvo_add_fuzzer(plugin_events SOURCES fuzz_plugin_events.cpp LIBS ${plugin_fuzz_libs}
                CORPUS "${plugin_corpus}/plugin_events")
orvo_add_fuzzer(bank_reader SOURCES fuzz_bank_reader.cpp LIBS orvo_vst2
                CORPUS "${plugin_corpus}/bank_reader")
orvo_add_fuzzer(midi_map SOURCES fuzz_midi_map.cpp LIBS orvo_vst2
                CORPUS "${plugin_corpus}/midi_map")
