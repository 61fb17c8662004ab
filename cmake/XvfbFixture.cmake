# A virtual X display for tests that need one, as a CTest fixture.
#
#   orvo_add_xvfb_fixture(NAME FOLDER)
#       Tests NAME_start and NAME_stop (FIXTURES_SETUP / FIXTURES_CLEANUP NAME): the first
#       starts Xvfb on a free display number and writes ":N" to FOLDER/display, the second
#       stops it. A test that lists NAME in FIXTURES_REQUIRED reads FOLDER/display.
#
# Xvfb is started in a session of its own with every descriptor redirected, so CTest does
# not wait for it when the setup test ends.
function(orvo_add_xvfb_fixture name folder)
    find_program(ORVO_XVFB NAMES Xvfb)
    if(NOT ORVO_XVFB)
        message(WARNING "Xvfb not found: the tests that need a display are not registered")
        return()
    endif()
    add_test(NAME ${name}_start
             COMMAND sh "${PROJECT_SOURCE_DIR}/cmake/scripts/xvfb.sh" start "${folder}" "${ORVO_XVFB}")
    add_test(NAME ${name}_stop COMMAND sh "${PROJECT_SOURCE_DIR}/cmake/scripts/xvfb.sh" stop "${folder}")
    set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 30)
    set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} TIMEOUT 30)
endfunction()
