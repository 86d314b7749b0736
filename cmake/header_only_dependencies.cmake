# The builds for another system (Windows, WebAssembly) and the core-only
# build take no package of the build machine's: GoogleTest is built from the
# sources Debian ships, and the header-only libraries are taken from Debian's
# headers through a folder that holds them and nothing else of the build
# machine's (never /usr/include itself, whose C library headers would take
# the place of the target's).
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
  # WebAssembly without threads: GoogleTest must not ask for pthreads.
  if(EMSCRIPTEN)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  endif()
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
