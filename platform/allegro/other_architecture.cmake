# Debian's Allegro for the architecture that the toolchain builds for (arm64): the shared
# library from its multiarch runtime package, which scripts/install-deps.sh installs, and the
# headers of the same version's liballegro4-dev of that architecture. That package is not
# multiarch: its headers differ from the host's in one configured line (alunixac.h's
# ALLEGRO_HAVE_SYS_IO_H), so it cannot be installed beside the host's and is unpacked here
# instead. Sets debian_architecture, which the packaging and the tests use.

execute_process(COMMAND dpkg-architecture -t${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
                OUTPUT_VARIABLE debian_architecture OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
set(allegro_runtime liballegro4.4:${debian_architecture})
execute_process(COMMAND dpkg-query -W -f=\${Version} ${allegro_runtime}
                OUTPUT_VARIABLE allegro_version RESULT_VARIABLE status ERROR_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Allegro for ${debian_architecture}: ${allegro_runtime} is not installed "
                      "(scripts/install-deps.sh installs it)")
endif()

set(allegro_dir ${PROJECT_BINARY_DIR}/allegro)
set(allegro_headers ${allegro_dir}/dev/usr/include)
set(unpacked_version "")
if(EXISTS ${allegro_dir}/version)
  file(READ ${allegro_dir}/version unpacked_version)
endif()
if(NOT unpacked_version STREQUAL allegro_version) # fetched again when the runtime changes
  message(STATUS "Allegro for ${debian_architecture}: fetching liballegro4-dev ${allegro_version}")
  file(REMOVE_RECURSE ${allegro_dir})
  file(MAKE_DIRECTORY ${allegro_dir})
  # apt checks the package against the archive's signed index.
  execute_process(COMMAND apt-get download liballegro4-dev:${debian_architecture}=${allegro_version}
                  WORKING_DIRECTORY ${allegro_dir} OUTPUT_FILE ${allegro_dir}/fetch.log
                  ERROR_FILE ${allegro_dir}/fetch.log RESULT_VARIABLE status)
  file(GLOB allegro_package ${allegro_dir}/liballegro4-dev_*_${debian_architecture}.deb)
  if(NOT status EQUAL 0 OR NOT allegro_package)
    message(FATAL_ERROR "Allegro for ${debian_architecture}: apt-get download failed, "
                        "see ${allegro_dir}/fetch.log")
  endif()
  execute_process(COMMAND dpkg-deb -x ${allegro_package} ${allegro_dir}/dev
                  COMMAND_ERROR_IS_FATAL ANY)
  file(WRITE ${allegro_dir}/version ${allegro_version})
endif()

add_library(Allegro::allegro SHARED IMPORTED)
set_target_properties(Allegro::allegro PROPERTIES
  IMPORTED_LOCATION /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/liballeg.so.4.4
  INTERFACE_INCLUDE_DIRECTORIES ${allegro_headers})

# The library's own libXext, from the same multiarch packages (its headers are the host's).
add_library(Xlib::Xext SHARED IMPORTED)
set_target_properties(Xlib::Xext PROPERTIES
  IMPORTED_LOCATION /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/libXext.so.6)
