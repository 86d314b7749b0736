# The Debian package: what `cmake --install` puts under /usr, made into
# proxcred_<version>_<arch>.deb by `cpack --preset deb` from the release build.
set(CPACK_GENERATOR DEB)
# Folders the package creates are 0755 whatever the builder's umask: with
# umask 002 or 000 they would be group- or world-writable, and dpkg would
# create /usr/share/bash-completion/completions so, where any user could drop
# a script that root's shell sources. Files get their modes from install().
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_NAME proxcred)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "proximity card numbers to prox data and back")
# The extended description, below the summary line; CPack indents its lines
# for the control file.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "proxcred translates between the numbers printed on a proximity access card
(hotstamp number, facility code and, for Proxif, version) and the raw data a
card reader or lock delivers for it.
.
It has a window, which a host application starts with a preset on the
clipboard and whose answer it reads back from there, and a command-line
tool, proxcred-cli, that encodes and splits card data one by one or in
batches, reads a card through a lock on a serial port, and encodes and
decodes every known Wiegand card format.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_package_strip.cmake)
# cpack hands its scripts only the CPACK_ variables.
set(CPACK_STRIP_COMMAND ${CMAKE_STRIP})
# The maintainer is whoever builds the package (PROXCRED_MAINTAINER); the
# package is refused without one rather than signed with an invented name.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PROXCRED_MAINTAINER}")
set(CPACK_PACKAGE_CONTACT "${PROXCRED_MAINTAINER}")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/debian_package_check.cmake)
include(CPack)
