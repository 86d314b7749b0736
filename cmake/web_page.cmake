# The single-file web app (proxcred.html, built by the wasm preset) in the
# packages that carry it: the Debian package and the Windows zip. Packages
# built before the WebAssembly build go without it, and say so.
set(PROXCRED_WEB_PAGE ${PROJECT_SOURCE_DIR}/build/wasm/proxcred.html CACHE FILEPATH
    "The single-file web app to ship in the packages (built by the wasm preset)")
function(proxcred_install_web_page destination)
  if(EXISTS ${PROXCRED_WEB_PAGE})
    install(FILES ${PROXCRED_WEB_PAGE} DESTINATION ${destination})
  else()
    message(STATUS "No ${PROXCRED_WEB_PAGE}: the packages go without the web app "
                   "(build the wasm preset first to ship it)")
  endif()
endfunction()
