# Read by cpack as it starts: a Debian package needs a maintainer.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_DEBIAN_PACKAGE_MAINTAINER)
  message(FATAL_ERROR
    "Set PROXCRED_MAINTAINER to who builds the package, as \"Name <address>\":\n"
    "  cmake --preset release -DPROXCRED_MAINTAINER=\"Your Name <you@example.org>\"")
endif()
