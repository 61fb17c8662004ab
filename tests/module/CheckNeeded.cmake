# Fails unless the module needs only the libraries every Linux desktop has: libX11 (and
# libXext), libc, libm, libstdc++, libgcc_s and the dynamic loader. FreeType and the font are
# linked in; no GUI toolkit may appear (hosts crash when two versions meet in one process).
# With -DNO_X11=1 (a binary that draws nothing, such as the LV2 DSP binary) X11 is refused too.
#   cmake -DOBJDUMP=<objdump> -DMODULE=<Orvo.so> [-DNO_X11=1] -P CheckNeeded.cmake
execute_process(COMMAND "${OBJDUMP}" -p "${MODULE}" OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()
string(REGEX MATCHALL "NEEDED +[^\n]+" lines "${headers}")
set(x11 "libX11\\.so\\.6|libXext\\.so\\.6|")
if(NO_X11)
    set(x11 "")
endif()
set(allowed "^(${x11}libc\\.so\\.6|libm\\.so\\.6|libstdc\\+\\+\\.so\\.6|libgcc_s\\.so\\.1|ld-linux[-a-z0-9_.]*\\.so\\.[0-9]+)$")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "NEEDED +" "" library "${line}")
    string(STRIP "${library}" library)
    if(NOT library MATCHES "${allowed}")
        get_filename_component(name "${MODULE}" NAME)
        message(FATAL_ERROR "${name} needs ${library}")
    endif()
    message(STATUS "needs ${library}")
endforeach()
