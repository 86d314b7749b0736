# The Windows build is the command-line tool alone (no Qt there): the pure
# libraries, the Wiegand library and proxcred-cli.exe, with GoogleTest built
# from the sources Debian ships and the header-only libraries taken from
# Debian's headers, through a folder that holds them and nothing else of the
# build machine's.
set(PROXCRED_THIRD_PARTY ${CMAKE_BINARY_DIR}/third_party_include)
file(MAKE_DIRECTORY ${PROXCRED_THIRD_PARTY})
foreach(library nlohmann CLI)
  if(NOT EXISTS ${PROXCRED_THIRD_PARTY}/${library})
    file(CREATE_LINK /usr/include/${library} ${PROXCRED_THIRD_PARTY}/${library} SYMBOLIC)
  endif()
endforeach()
foreach(target nlohmann_json::nlohmann_json CLI11::CLI11)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${PROXCRED_THIRD_PARTY})
endforeach()

if(BUILD_TESTING)
  # Built before the project's warning flags apply.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
