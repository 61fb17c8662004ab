# lv2info on Orvo (LV2_PATH set by the test): 15 control inputs, stereo audio in and out,
# a MIDI input and output, no port beyond them, no latency, and the 16 factory programs of
# BANK as presets.
execute_process(COMMAND "${LV2INFO}" urn:quorvane:orvo
                OUTPUT_VARIABLE info ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lv2info failed (${result}):\n${errors}")
endif()

function(expect_count pattern count what)
    string(REGEX MATCHALL "${pattern}" found "${info}")
    list(LENGTH found n)
    if(NOT n EQUAL count)
        message(FATAL_ERROR "lv2info shows ${n} ${what}, expected ${count}:\n${info}")
    endif()
endfunction()

expect_count("lv2core#ControlPort" 15 "control ports")
expect_count("lv2core#AudioPort" 4 "audio ports")
expect_count("atom#AtomPort" 2 "atom ports")
expect_count("\n\tPort [0-9]+:" 21 "ports")
expect_count("Has latency: +no" 1 "'no latency' lines")
expect_count("lv2core#hardRTCapable" 1 "hard real-time declarations")

# The preset labels: the lines between "Presets:" and the first port.
string(REGEX MATCH "Presets:[^\n]*\n(.*)\n\tPort 0:" block "${info}")
string(REGEX MATCHALL "\n\t+[^\n]+" labels "\n${CMAKE_MATCH_1}")
list(TRANSFORM labels STRIP)
list(LENGTH labels count)
if(NOT count EQUAL 16)
    message(FATAL_ERROR "lv2info shows ${count} presets, expected 16:\n${info}")
endif()
file(STRINGS "${BANK}" names REGEX "^Name=")
list(TRANSFORM names REPLACE "^Name=" "")
list(SORT names)
list(SORT labels)
if(NOT names STREQUAL labels)
    message(FATAL_ERROR "Preset labels ${labels} are not the factory programs ${names}")
endif()
