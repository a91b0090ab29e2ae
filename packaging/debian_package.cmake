# The Debian package, built by `cpack --preset deb` from the default build.

install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
pinprobe_install_gzipped(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_INSTALL_DOCDIR})

set(PINPROBE_PACKAGE_MAINTAINER "Pinprobe developers <pinprobe@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME pinprobe)
set(CPACK_PACKAGE_VENDOR "Pinprobe developers")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/description)
set(CPACK_RPM_PACKAGE_LICENSE ${PINPROBE_LICENSE})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PINPROBE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs open libsigrokdecode when they first decode, libzip when they first write a sigrok
# session and libsystemd when they first ask RealtimeKit, so the linker's list (the rest of
# Depends) cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsigrokdecode4, libzip4, libsystemd0")

include(CPack)
