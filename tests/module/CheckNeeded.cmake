# Fails unless the module needs only the libraries every Linux desktop has: libX11 (and
# libXext), libc, libm, libstdc++, libgcc_s and the dynamic loader. FreeType and the font are
# linked in; no GUI toolkit may appear (hosts crash when two versions meet in one process).
#   cmake -DOBJDUMP=<objdump> -DMODULE=<Orvo.so> -P CheckNeeded.cmake
execute_process(COMMAND "${OBJDUMP}" -p "${MODULE}" OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()
string(REGEX MATCHALL "NEEDED +[^\n]+" lines "${headers}")
set(allowed "^(libX11\\.so\\.6|libXext\\.so\\.6|libc\\.so\\.6|libm\\.so\\.6|libstdc\\+\\+\\.so\\.6|libgcc_s\\.so\\.1|ld-linux[-a-z0-9_.]*\\.so\\.[0-9]+)$")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "NEEDED +" "" library "${line}")
    string(STRIP "${library}" library)
    if(NOT library MATCHES "${allowed}")
        message(FATAL_ERROR "Orvo needs ${library}")
    endif()
    message(STATUS "needs ${library}")
endforeach()
