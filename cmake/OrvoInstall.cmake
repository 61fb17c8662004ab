# Where `cmake --install` puts Orvo (GNUInstallDirs, DESTDIR-aware), in two sets:
#
#   the default set (no component named): the plug-ins in the folders below under the
#   prefix, the tools in bin, their manual pages in share/man/man1, the README and the
#   licences in share/doc/orvo. This is what the .deb holds (prefix /usr).
#
#   the component "user", left out of the default set: the same for one user, the prefix
#   being the home folder: ~/.vst, ~/.lv2, ~/.clap, ~/.local/bin, ~/.local/share/man/man1:
#       cmake --install build/release --component user --prefix ~
#
# The plug-in folders are fixed by the hosts' conventions (lib/vst, not the multiarch
# library folder), relative to the prefix unless given as absolute paths.
set(ORVO_VST2_DIR "lib/vst" CACHE STRING "Folder for the VST 2 module Orvo.so")
set(ORVO_LV2_DIR "lib/lv2" CACHE STRING "Folder for the LV2 bundle Orvo.lv2")
set(ORVO_CLAP_DIR "lib/clap" CACHE STRING "Folder for the CLAP plug-in Orvo.clap")
option(ORVO_MAN_PAGES "Make and install the tools' manual pages (help2man, from --help)" ON)
foreach(kind IN ITEMS VST2 LV2 CLAP)
    if(IS_ABSOLUTE "${ORVO_${kind}_DIR}")
        set(ORVO_${kind}_FULL_DIR "${ORVO_${kind}_DIR}")
    else()
        set(ORVO_${kind}_FULL_DIR "${CMAKE_INSTALL_PREFIX}/${ORVO_${kind}_DIR}")
    endif()
endforeach()

set(ORVO_USER_BIN_DIR ".local/bin")
set(ORVO_USER_MAN_DIR ".local/share/man/man1")
set(ORVO_USER_DOC_DIR ".local/share/doc/orvo")

# orvo_install_plugin(TARGET SYSTEM_DIR USER_DIR): a plug-in binary in both sets.
function(orvo_install_plugin target system_dir user_dir)
    install(TARGETS ${target} LIBRARY DESTINATION "${system_dir}")
    install(TARGETS ${target} LIBRARY DESTINATION "${user_dir}" COMPONENT user EXCLUDE_FROM_ALL)
    set_property(TARGET ${target} PROPERTY ORVO_INSTALLED TRUE)
endfunction()

# orvo_install_clap(TARGET): the CLAP plug-in (a MODULE target whose file is Orvo.clap) into
# ORVO_CLAP_DIR and ~/.clap. The CLAP folder calls it; a MODULE target with SUFFIX ".clap"
# that has not called it is installed at the end of the configure anyway.
function(orvo_install_clap target)
    orvo_install_plugin(${target} "${ORVO_CLAP_DIR}" ".clap")
endfunction()

# orvo_all_targets(VAR DIR): every target declared in DIR and the folders below it.
function(orvo_all_targets var dir)
    get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
    get_property(children DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
    foreach(child IN LISTS children)
        orvo_all_targets(child_targets "${child}")
        list(APPEND targets ${child_targets})
    endforeach()
    set(${var} ${targets} PARENT_SCOPE)
endfunction()

# orvo_man_page(TARGET NAME "SUMMARY"): share/man/man1/TARGET.1 made at build time by
# help2man from the program's --help and --version.
function(orvo_man_page target summary)
    set(page "${CMAKE_BINARY_DIR}/man/${target}.1")
    add_custom_command(
        OUTPUT "${page}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/man"
        COMMAND "${ORVO_HELP2MAN}" --no-info --no-discard-stderr --name "${summary}"
                --output "${page}" "$<TARGET_FILE:${target}>"
        DEPENDS ${target}
        COMMENT "Writing the manual page of ${target}"
        VERBATIM)
    add_custom_target(${target}_man ALL DEPENDS "${page}")
    install(FILES "${page}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    install(FILES "${page}" DESTINATION "${ORVO_USER_MAN_DIR}" COMPONENT user EXCLUDE_FROM_ALL)
endfunction()

# orvo_install_doc(FILE NAME DIR): one documentation file, renamed to NAME, in both sets.
function(orvo_install_doc file name dir)
    install(FILES "${file}" DESTINATION "${dir}" RENAME "${name}")
    install(FILES "${file}" DESTINATION "${ORVO_USER_DOC_DIR}" RENAME "${name}"
            COMPONENT user EXCLUDE_FROM_ALL)
endfunction()

# Everything built, installed: called once at the end of the top-level CMakeLists.txt.
function(orvo_install_built_targets)
    if(TARGET Orvo)
        orvo_install_plugin(Orvo "${ORVO_VST2_DIR}" ".vst")
    endif()

    # The LV2 bundle: its binaries and the description files generated beside them.
    if(TARGET orvo_lv2)
        foreach(target IN ITEMS orvo_lv2 orvo_lv2_ui)
            if(TARGET ${target})
                orvo_install_plugin(${target} "${ORVO_LV2_DIR}/Orvo.lv2" ".lv2/Orvo.lv2")
            endif()
        endforeach()
        install(FILES ${ORVO_LV2_TTL} DESTINATION "${ORVO_LV2_DIR}/Orvo.lv2")
        install(FILES ${ORVO_LV2_TTL} DESTINATION ".lv2/Orvo.lv2" COMPONENT user EXCLUDE_FROM_ALL)
    endif()

    # A CLAP plug-in that did not call orvo_install_clap: any module whose file ends in .clap.
    orvo_all_targets(targets "${PROJECT_SOURCE_DIR}")
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(suffix ${target} SUFFIX)
        get_target_property(installed ${target} ORVO_INSTALLED)
        if(type STREQUAL "MODULE_LIBRARY" AND suffix STREQUAL ".clap" AND NOT installed)
            orvo_install_clap(${target})
        endif()
    endforeach()

    # The tools for users (orvo-artwork is a developer's tool and stays in the build tree).
    set(tools "")
    foreach(target IN ITEMS orvo-render orvo-dib)
        if(TARGET ${target})
            list(APPEND tools ${target})
        endif()
    endforeach()
    if(tools)
        install(TARGETS ${tools} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
        install(TARGETS ${tools} RUNTIME DESTINATION "${ORVO_USER_BIN_DIR}"
                COMPONENT user EXCLUDE_FROM_ALL)
        if(ORVO_MAN_PAGES AND NOT CMAKE_CROSSCOMPILING)
            find_program(ORVO_HELP2MAN help2man)
            if(NOT ORVO_HELP2MAN)
                message(FATAL_ERROR "help2man (Debian help2man) makes the tools' manual pages; "
                                    "install it or configure with -DORVO_MAN_PAGES=OFF")
            endif()
            if(TARGET orvo-render)
                orvo_man_page(orvo-render "render audio files through a VST 2 effect")
            endif()
            if(TARGET orvo-dib)
                orvo_man_page(orvo-dib "pack PNG images into stored editor images and back")
            endif()
        endif()
    endif()

    # The README and the licences of what the binaries hold: the embedded font's and, where
    # the editor links it statically, FreeType's (as its Debian package states it).
    set(doc_dir "${CMAKE_INSTALL_DATAROOTDIR}/doc/orvo")
    orvo_install_doc("${PROJECT_SOURCE_DIR}/README.md" README.md "${doc_dir}")
    orvo_install_doc("${PROJECT_SOURCE_DIR}/resources/fonts/LICENSE-LGPL-2.1" LICENSE-LGPL-2.1
                     "${doc_dir}")
    orvo_install_doc("${PROJECT_SOURCE_DIR}/resources/fonts/README" README.font "${doc_dir}")
    if(TARGET orvo_platform_x11)
        foreach(copyright IN ITEMS /usr/share/doc/libfreetype6/copyright
                                   /usr/share/doc/libfreetype-dev/copyright)
            if(EXISTS "${copyright}")
                orvo_install_doc("${copyright}" LICENSE-FreeType "${doc_dir}")
                break()
            endif()
        endforeach()
    endif()
endfunction()
