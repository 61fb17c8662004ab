# Helpers that keep every test, benchmark and fuzz target declared the same way.
#
#   orvo_add_test(NAME SOURCES a.cpp ... LIBS lib ... [LABELS l ...])
#       A GoogleTest executable, its cases registered with CTest one by one.
#   orvo_add_benchmark(NAME SOURCES ... LIBS ...)
#       A Google Benchmark program (only with ORVO_BENCH).
#   orvo_add_fuzzer(NAME SOURCES ... LIBS ... [CORPUS dir])
#       With ORVO_FUZZ: a libFuzzer executable fuzz_NAME. Otherwise: a CTest test that
#       replays every file of the corpus folder through the same entry point, so the
#       corpus is exercised by every ordinary build.

include(CMakeParseArguments)

function(orvo_add_test name)
    cmake_parse_arguments(arg "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ORVO_TESTS OR ORVO_FUZZ)
        return()
    endif()
    find_package(GTest REQUIRED)
    add_executable(${name} ${arg_SOURCES})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PRIVATE ${arg_LIBS} orvo_options GTest::gtest GTest::gmock
                                          GTest::gtest_main)
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${arg_LABELS}")
    # The ThreadSanitizer stage builds only the executables that hold cross-thread tests.
    if("threads" IN_LIST arg_LABELS)
        file(APPEND "${CMAKE_BINARY_DIR}/thread_tests.txt" "${name}\n")
    endif()
endfunction()

function(orvo_add_benchmark name)
    cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
    if(NOT ORVO_BENCH)
        return()
    endif()
    find_package(benchmark REQUIRED)
    add_executable(${name} ${arg_SOURCES})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PRIVATE ${arg_LIBS} orvo_options benchmark::benchmark
                                          benchmark::benchmark_main)
endfunction()

function(orvo_add_fuzzer name)
    cmake_parse_arguments(arg "" "CORPUS" "SOURCES;LIBS" ${ARGN})
    if(ORVO_FUZZ)
        add_executable(fuzz_${name} ${arg_SOURCES})
        target_include_directories(fuzz_${name} PRIVATE "${PROJECT_SOURCE_DIR}")
        target_link_libraries(fuzz_${name} PRIVATE ${arg_LIBS} orvo_options)
        target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
        if(arg_CORPUS)
            set_target_properties(fuzz_${name} PROPERTIES ORVO_CORPUS "${arg_CORPUS}")
            file(APPEND "${CMAKE_BINARY_DIR}/fuzzers.txt" "fuzz_${name} ${arg_CORPUS}\n")
        else()
            file(APPEND "${CMAKE_BINARY_DIR}/fuzzers.txt" "fuzz_${name} -\n")
        endif()
    elseif(ORVO_TESTS)
        add_executable(replay_${name} ${arg_SOURCES} "${PROJECT_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp")
        target_include_directories(replay_${name} PRIVATE "${PROJECT_SOURCE_DIR}")
        target_link_libraries(replay_${name} PRIVATE ${arg_LIBS} orvo_options)
        if(arg_CORPUS)
            add_test(NAME replay_${name} COMMAND replay_${name} "${arg_CORPUS}")
        else()
            add_test(NAME replay_${name} COMMAND replay_${name})
        endif()
    endif()
endfunction()
