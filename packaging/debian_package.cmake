# `make package` (the `package` target here): build/spirals_<version>_amd64.deb, made by
# CPack from the install rules. Its dependencies come from the binaries (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME spirals)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${SPIRALS_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The status line's System font is read at run time, so no library names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
# The first line is the synopsis; CPack indents the rest and marks the empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "coloured trochoid curves drawn point by point
A full-screen program that animates up to eleven coloured trochoid curves
around the middle of the screen, point by point, and gives them new colours
and sizes every few seconds. Keys and the mouse change the number of curves
and the speed, clear the picture and pause it.

The same program runs as a screen saver for XScreenSaver.")
include(CPack)
