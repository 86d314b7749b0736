# WebAssembly with Debian's emscripten (preset wasm): its toolchain file, and
# what every compile, link and test run needs on Debian.
#
# emcc runs node's acorn, which Debian keeps in /usr/share/nodejs: every emcc
# call, at configure time and in the build, gets NODE_PATH.
set(ENV{NODE_PATH} /usr/share/nodejs)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# Exceptions caught as native code catches them (emscripten's default lets a
# thrown exception escape to JavaScript as a bare number); memory that grows.
set(CMAKE_CXX_FLAGS_INIT "-fwasm-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fwasm-exceptions -sALLOW_MEMORY_GROWTH=1")

# Test programs run under node. emscripten's own choice of options is refused
# by node 20, and its loader needs node's fetch turned off (node 18 and later).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/node --no-experimental-fetch)
