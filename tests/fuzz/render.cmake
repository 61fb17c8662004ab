# The render tool's Standard MIDI File reader.
if(TARGET orvo_render OR ORVO_FUZZ)
    orvo_add_fuzzer(midi_file
        SOURCES "${CMAKE_CURRENT_LIST_DIR}/fuzz_midi_file.cpp"
                "${PROJECT_SOURCE_DIR}/tools/render/uMidiFile.cpp"
        CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/midi_file")
endif()
