# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (GCC, C runtime msvcrt); the
# programs it builds run under Wine, which CMake uses to run them when testing.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
# The POSIX thread model: GCC 12's win32 one has no std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One file to hand out: the C++ and GCC runtimes and winpthreads are linked in, so the program
# imports only Windows' own DLLs (msvcrt.dll among them). ASLR, high-entropy addresses and DEP
# are asked for explicitly rather than left to the linker's defaults.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--dynamicbase,--high-entropy-va,--nxcompat")
