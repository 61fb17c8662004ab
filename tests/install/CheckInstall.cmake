# cmake -D BUILD=... -D STAGE=... -D MAN_PAGES=ON|OFF -P CheckInstall.cmake
file(REMOVE_RECURSE "${STAGE}")

function(install_into)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env ${ARGN} RESULT_VARIABLE failed
                    OUTPUT_QUIET)
    if(failed)
        message(FATAL_ERROR "install failed: ${ARGN}")
    endif()
endfunction()

function(expect_files root)
    foreach(file IN LISTS ARGN)
        if(NOT EXISTS "${root}/${file}")
            message(SEND_ERROR "not installed: ${root}/${file}")
        endif()
    endforeach()
endfunction()

set(man "")
if(MAN_PAGES)
    set(man share/man/man1/orvo-render.1 share/man/man1/orvo-dib.1)
endif()

# The system-wide set, as the package holds it; the user's set stays out of it.
install_into(DESTDIR=${STAGE}/system "${CMAKE_COMMAND}" --install "${BUILD}" --prefix /usr)
list(TRANSFORM man PREPEND usr/ OUTPUT_VARIABLE system_man)
expect_files("${STAGE}/system" usr/lib/vst/Orvo.so usr/lib/lv2/Orvo.lv2/Orvo.so
             usr/lib/lv2/Orvo.lv2/manifest.ttl usr/lib/lv2/Orvo.lv2/Orvo.ttl
             usr/lib/lv2/Orvo.lv2/presets.ttl usr/bin/orvo-render usr/bin/orvo-dib
             usr/share/doc/orvo/README.md usr/share/doc/orvo/LICENSE-LGPL-2.1 ${system_man})
foreach(user_folder IN ITEMS .vst .lv2 .clap .local)
    if(EXISTS "${STAGE}/system/usr/${user_folder}")
        message(SEND_ERROR "the user's set leaked into the default install: ${user_folder}")
    endif()
endforeach()

# The user's set, the home folder as the prefix.
install_into("${CMAKE_COMMAND}" --install "${BUILD}" --component user --prefix "${STAGE}/home")
list(TRANSFORM man PREPEND .local/ OUTPUT_VARIABLE user_man)
expect_files("${STAGE}/home" .vst/Orvo.so .lv2/Orvo.lv2/Orvo.so .lv2/Orvo.lv2/manifest.ttl
             .local/bin/orvo-render .local/bin/orvo-dib ${user_man})

# The installed tool finds the installed module on its own (no VST_PATH, an empty home).
file(MAKE_DIRECTORY "${STAGE}/empty-home")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=VST_PATH HOME=${STAGE}/empty-home
                        "${STAGE}/system/usr/bin/orvo-render" --list
                RESULT_VARIABLE failed OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(failed OR NOT listing MATCHES "InGain")
    message(SEND_ERROR "the installed orvo-render did not find the installed module: ${errors}")
endif()
