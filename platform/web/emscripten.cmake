# The browser build: Debian's Emscripten, with the tests and the benchmark run under node.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# node 18 and later have fetch, and this Emscripten's loader then takes the wasm file for a
# URL and fails under node.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/node --no-experimental-fetch)

# Emscripten's JavaScript optimiser needs acorn, which Debian installs for its own nodejs under
# /usr/share/nodejs: a node that is not Debian's does not look there.
foreach(language C CXX)
  set(CMAKE_${language}_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
endforeach()
