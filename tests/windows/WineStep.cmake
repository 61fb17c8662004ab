# One step of the tests that run the Windows build under wine (see WineTests.cmake).
#
#   cmake -DMODE=<mode> -DWINE=<wine> -DPREFIX=<wine prefix> [...] -P WineStep.cmake
#
# Modes:
#   prefix      a fresh prefix with the decimal symbol DECIMAL in the user's regional settings
#   stop        stops the prefix's wine server
#   run         runs PROGRAM with ARGS ("|"-separated) in a fresh folder SCRATCH; in ARGS,
#               @FOLDER@ stands for an empty folder in it, and Unix paths are given to the
#               program as Windows paths
#   transcript  the transcript of DLL by PROGRAM must equal LINUX_TRANSCRIPT's of LINUX_MODULE
#   render      renders a test signal with program RENDER_PROGRAM, oversampling CHAIN and
#               block RENDER_BLOCK through DLL (PROGRAM, the console render host) and
#               through LINUX_MODULE (LINUX_RENDER); both files must be bit-identical
# DISPLAY_FILE, when set, names the file that holds the X display to use (an Xvfb fixture);
# otherwise the step runs with no display.
cmake_minimum_required(VERSION 3.25)

set(ENV{WINEPREFIX} "${PREFIX}")
set(ENV{WINEDEBUG} "-all")
# No .NET or HTML engine installers in a fresh prefix.
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
unset(ENV{WAYLAND_DISPLAY})
if(DISPLAY_FILE)
    file(STRINGS "${DISPLAY_FILE}" display LIMIT_COUNT 1)
    set(ENV{DISPLAY} "${display}")
else()
    unset(ENV{DISPLAY})
endif()
get_filename_component(wineserver "${WINE}" DIRECTORY)
find_program(WINESERVER NAMES wineserver HINTS "${wineserver}" REQUIRED)
find_program(WINEBOOT NAMES wineboot HINTS "${wineserver}" REQUIRED)

# The Windows name of a Unix path: a fresh prefix maps drive Z: to the root.
function(windows_path out path)
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()

function(run_checked)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "failed (${status}): ${command}")
    endif()
endfunction()

function(fresh_folder folder)
    file(REMOVE_RECURSE "${folder}")
    file(MAKE_DIRECTORY "${folder}")
endfunction()

# Copies of both modules in folders of their own (the effect keeps its map file beside
# itself): ${module} for Linux, ${dll} (a Windows path) for wine.
macro(copy_modules)
    fresh_folder("${SCRATCH}/linux")
    fresh_folder("${SCRATCH}/windows")
    file(COPY "${LINUX_MODULE}" DESTINATION "${SCRATCH}/linux")
    file(COPY "${DLL}" DESTINATION "${SCRATCH}/windows")
    get_filename_component(module_name "${LINUX_MODULE}" NAME)
    get_filename_component(dll_name "${DLL}" NAME)
    set(module "${SCRATCH}/linux/${module_name}")
    windows_path(dll "${SCRATCH}/windows/${dll_name}")
endmacro()

if(LINUX_MODULE AND NOT EXISTS "${LINUX_MODULE}")
    message(FATAL_ERROR "${LINUX_MODULE} is missing: build the Linux reference (dev preset) first")
endif()

if(MODE STREQUAL "prefix")
    execute_process(COMMAND "${WINESERVER}" -k OUTPUT_QUIET ERROR_QUIET)
    file(REMOVE_RECURSE "${PREFIX}")
    run_checked("${WINEBOOT}" -i OUTPUT_QUIET ERROR_QUIET)
    # The decimal symbol of the user's regional settings (Control Panel, Region).
    run_checked("${WINE}" reg add "HKCU\\Control Panel\\International" /v sDecimal
                /d "${DECIMAL}" /f OUTPUT_QUIET ERROR_QUIET)
    run_checked("${WINESERVER}" -w)
elseif(MODE STREQUAL "stop")
    execute_process(COMMAND "${WINESERVER}" -k OUTPUT_QUIET ERROR_QUIET)
elseif(MODE STREQUAL "run")
    fresh_folder("${SCRATCH}")
    file(MAKE_DIRECTORY "${SCRATCH}/folder")
    string(REPLACE "@FOLDER@" "${SCRATCH}/folder" ARGS "${ARGS}")
    string(REPLACE "|" ";" ARGS "${ARGS}")
    set(arguments "")
    foreach(argument IN LISTS ARGS)
        if(argument MATCHES "^/")
            windows_path(argument "${argument}")
        endif()
        list(APPEND arguments "${argument}")
    endforeach()
    run_checked("${WINE}" "${PROGRAM}" ${arguments} WORKING_DIRECTORY "${SCRATCH}")
elseif(MODE STREQUAL "transcript")
    copy_modules()
    run_checked("${CMAKE_COMMAND}" -E env LC_ALL=C
                "${LINUX_TRANSCRIPT}" "${module}"
                OUTPUT_FILE "${SCRATCH}/linux.txt")
    run_checked("${WINE}" "${PROGRAM}" "${dll}" OUTPUT_FILE "${SCRATCH}/windows-crlf.txt"
                WORKING_DIRECTORY "${SCRATCH}")
    file(READ "${SCRATCH}/windows-crlf.txt" text)
    string(REPLACE "\r\n" "\n" text "${text}")
    file(WRITE "${SCRATCH}/windows.txt" "${text}")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SCRATCH}/linux.txt"
                            "${SCRATCH}/windows.txt" RESULT_VARIABLE different)
    if(different)
        execute_process(COMMAND diff -u "${SCRATCH}/linux.txt" "${SCRATCH}/windows.txt"
                        OUTPUT_VARIABLE diff)
        string(SUBSTRING "${diff}" 0 4000 diff)
        message(FATAL_ERROR "the transcripts differ:\n${diff}")
    endif()
    file(STRINGS "${SCRATCH}/linux.txt" lines)
    list(LENGTH lines count)
    message(STATUS "transcript identical to the Linux module's (${count} lines)")
elseif(MODE STREQUAL "render")
    copy_modules()
    string(REPLACE "|" ";" changes "${RENDER_CHANGES}")
    set(options --program ${RENDER_PROGRAM} --oversample ${CHAIN} --block ${RENDER_BLOCK} ${changes})
    run_checked("${WINE}" "${PROGRAM}" --test-signal 6 input.wav WORKING_DIRECTORY "${SCRATCH}")
    run_checked("${LINUX_RENDER}" --plugin "${module}" ${options} --quiet
                "${SCRATCH}/input.wav" "${SCRATCH}/linux.wav")
    run_checked("${WINE}" "${PROGRAM}" --plugin "${dll}" ${options} input.wav windows.wav
                WORKING_DIRECTORY "${SCRATCH}")
    run_checked("${WINE}" "${PROGRAM}" --compare linux.wav windows.wav WORKING_DIRECTORY "${SCRATCH}")
else()
    message(FATAL_ERROR "WineStep.cmake: unknown MODE '${MODE}'")
endif()
