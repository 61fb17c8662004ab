# Fails unless the module's dynamic symbol table defines exactly VSTPluginMain and main, or
# the symbols EXPORTS names (sorted, ;-separated).
#   cmake -DNM=<nm> -DMODULE=<Orvo.so> [-DEXPORTS=<names>] -P CheckExports.cmake
if(NOT DEFINED EXPORTS)
    set(EXPORTS "VSTPluginMain;main")
endif()
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
if(NOT names STREQUAL EXPORTS)
    message(FATAL_ERROR "${MODULE} exports: ${names}")
endif()
message(STATUS "${MODULE} exports ${EXPORTS} only")
