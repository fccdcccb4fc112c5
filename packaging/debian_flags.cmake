# Debian's compiler and linker flags for a package build, as dpkg-buildflags gives them with
# every hardening feature on: fortified libc calls (_FORTIFY_SOURCE), the stack protector,
# format checks, and full RELRO (relro and now). Position-independent executables come with
# them, as Debian's compiler builds them by default; they are asked for here all the same.
# A cross build asks for the flags of the architecture it builds for.
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
set(flags_architecture)
if(debian_architecture)
  set(flags_architecture DEB_HOST_ARCH=${debian_architecture})
endif()
foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${flags_architecture}
            ${DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} # its file-prefix-map maps the source tree to "."
    OUTPUT_VARIABLE debian_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
string(APPEND CMAKE_C_FLAGS " ${debian_CPPFLAGS} ${debian_CFLAGS}")
string(APPEND CMAKE_CXX_FLAGS " ${debian_CPPFLAGS} ${debian_CXXFLAGS}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${debian_LDFLAGS}")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${debian_LDFLAGS}")
string(APPEND CMAKE_MODULE_LINKER_FLAGS " ${debian_LDFLAGS}")

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)
