# `cpack -G DEB` in a release build: orvo_<version>_<arch>.deb holding the default install
# set (the plug-ins in /usr/lib/vst, /usr/lib/lv2 and /usr/lib/clap, the tools in /usr/bin),
# its dependencies computed from the binaries by dpkg-shlibdeps (Debian dpkg-dev).
set(CPACK_PACKAGE_NAME "orvo")
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stereo five-band transient and level audio effect")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Orvo splits each channel into five bands, each a level control or a transient\n"
    "emphasiser, with a tube curve, output gain and soft clipper. This package holds the\n"
    "VST 2 module, the LV2 bundle (and the CLAP plug-in where built), and the tools\n"
    "orvo-render and orvo-dib.")
set(CPACK_PACKAGE_CONTACT "Quorvane <orvo@quorvane.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# The build folder holds nothing for the package; only the install rules count.
set(CPACK_SOURCE_IGNORE_FILES "/build/;/\\\\.git/")
include(CPack)
