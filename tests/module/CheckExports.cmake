# Fails unless the module's dynamic symbol table defines exactly VSTPluginMain and main.
#   cmake -DNM=<nm> -DMODULE=<Orvo.so> -P CheckExports.cmake
execute_process(COMMAND "${NM}" -D --defined-only "${MODULE}"
                OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^.* " "" name "${line}")
    list(APPEND names "${name}")
endforeach()
list(SORT names)
if(NOT names STREQUAL "VSTPluginMain;main")
    message(FATAL_ERROR "Orvo exports: ${names}")
endif()
message(STATUS "Orvo exports VSTPluginMain and main only")
