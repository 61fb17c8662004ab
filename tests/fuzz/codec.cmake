# Fuzz targets of the stored-image codec: reading stored blocks (header checks and the
# LZHUF decoder on any bytes), and encoder round trips.
if(TARGET orvo_toolkit)
    orvo_add_fuzzer(stored_image SOURCES "${CMAKE_CURRENT_LIST_DIR}/fuzz_stored_image.cpp"
                    LIBS orvo_toolkit CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/stored_image")
    orvo_add_fuzzer(lzh_round_trip SOURCES "${CMAKE_CURRENT_LIST_DIR}/fuzz_lzh_round_trip.cpp"
                    LIBS orvo_toolkit CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/lzh_round_trip")
endif()
