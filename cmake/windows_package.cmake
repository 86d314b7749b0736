# The Windows packages of the window proxcred.exe and proxcred-cli.exe, with
# the licence, the third-party notices and the README's window, command-line
# and Windows sections as a text file:
#   proxcred-<version>-win64.zip  by `cpack` in the Windows build folder;
#   proxcred-<version>-win64.msi  by the target `msi` (Debian's wixl).

# Text files for Windows: CR LF line ends.
function(proxcred_write_windows_text file text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${file} "${text}")
endfunction()

file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
set(sections "")
foreach(heading "## The window and the host" "## The command-line tool" "## Every Wiegand format" "## Windows")
  string(FIND "${readme}" "${heading}" start)
  if(start GREATER -1)
    string(SUBSTRING "${readme}" ${start} -1 rest)
    string(SUBSTRING "${rest}" 3 -1 after)
    string(FIND "${after}" "\n## " end)
    if(end GREATER -1)
      math(EXPR end "${end} + 4")
      string(SUBSTRING "${rest}" 0 ${end} rest)
    endif()
    string(APPEND sections "${rest}\n")
  endif()
endforeach()
set(readme_text ${CMAKE_BINARY_DIR}/proxcred.txt)
proxcred_write_windows_text(${readme_text} "proxcred ${PROJECT_VERSION}\n\n${sections}")

set(license_text ${CMAKE_BINARY_DIR}/LICENSE.txt)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
proxcred_write_windows_text(${license_text} "${license}")
set(notices_text ${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt)
file(READ ${PROJECT_SOURCE_DIR}/packaging/windows/THIRD-PARTY-NOTICES.txt notices)
proxcred_write_windows_text(${notices_text} "${notices}")

install(TARGETS proxcred proxcred-cli RUNTIME DESTINATION .)
install(FILES ${readme_text} ${license_text} ${notices_text} DESTINATION .)
include(${PROJECT_SOURCE_DIR}/cmake/web_page.cmake)
proxcred_install_web_page(.)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME proxcred)
set(CPACK_PACKAGE_FILE_NAME proxcred-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# The installer. wixl reads the sources named in the .wxs; the exes' paths are
# known only at generation time, hence the second, file(GENERATE) step.
find_program(WIXL wixl)
if(WIXL)
  # wixl takes sources relative to the folder it runs in (it refuses absolute
  # paths): the build folder.
  set(WINDOW_EXE $<PATH:RELATIVE_PATH,$<TARGET_FILE:proxcred>,${CMAKE_BINARY_DIR}>)
  set(CLI_EXE $<PATH:RELATIVE_PATH,$<TARGET_FILE:proxcred-cli>,${CMAKE_BINARY_DIR}>)
  cmake_path(GET license_text FILENAME LICENSE_TEXT)
  cmake_path(GET notices_text FILENAME NOTICES_TEXT)
  cmake_path(GET readme_text FILENAME README_TEXT)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/proxcred.wxs.in
                 ${CMAKE_BINARY_DIR}/proxcred.wxs.configured @ONLY)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/proxcred.wxs
       INPUT ${CMAKE_BINARY_DIR}/proxcred.wxs.configured)
  set(PROXCRED_MSI ${CMAKE_BINARY_DIR}/proxcred-${PROJECT_VERSION}-win64.msi)
  add_custom_command(
    OUTPUT ${PROXCRED_MSI}
    COMMAND ${WIXL} -a x64 -o ${PROXCRED_MSI} ${CMAKE_BINARY_DIR}/proxcred.wxs
    DEPENDS ${CMAKE_BINARY_DIR}/proxcred.wxs proxcred proxcred-cli
            ${license_text} ${notices_text} ${readme_text}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Windows installer proxcred-${PROJECT_VERSION}-win64.msi"
    VERBATIM)
  add_custom_target(msi ALL DEPENDS ${PROXCRED_MSI})
else()
  message(WARNING "wixl not found: no Windows installer (Debian package wixl)")
endif()
