# Cross-compiles for Debian arm64 with Debian's aarch64 cross compilers, against the arm64
# libraries that the multiarch packages install beside the host's (liballegro4.4:arm64 and
# what it needs); the programs it builds run under qemu's user-mode emulator, which CMake uses
# to run them when testing.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER ${CMAKE_LIBRARY_ARCHITECTURE}-gcc)
set(CMAKE_CXX_COMPILER ${CMAKE_LIBRARY_ARCHITECTURE}-g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)

# The cross compilers bring their own C and C++ libraries; the multiarch ones that Debian's
# arm64 library needs in turn (libX11 and the rest) are found at link time here.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}")
