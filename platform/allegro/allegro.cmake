# The Allegro 4 library as the target Allegro::allegro. On Linux it is Debian's: for the host,
# found through pkg-config; for another architecture (arm64), the library that its multiarch
# package installs, with the headers of that architecture's liballegro4-dev, which cannot be
# installed beside the host's and is unpacked into the build tree instead. For Windows and for
# the browser (WebAssembly) no distribution ships it, so the first configure fetches Debian's
# source of the same version, patches it and builds it as a static library with the same
# toolchain; later configures, and other build folders on the machine, reuse that build. The
# browser's drivers are ours (platform/web/drivers), built into the library by its patch. On X11
# it also gives Xlib::Xext, the libXext that the library's X11 drivers use.

if(NOT CMAKE_CROSSCOMPILING)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ALLEGRO REQUIRED IMPORTED_TARGET allegro)
  add_library(Allegro::allegro ALIAS PkgConfig::ALLEGRO)
  # libXext, whose extension error handler keeps Xlib quiet about the missing DGA extension.
  pkg_check_modules(XEXT REQUIRED IMPORTED_TARGET xext)
  add_library(Xlib::Xext ALIAS PkgConfig::XEXT)
  return()
endif()

if(NOT WIN32 AND NOT EMSCRIPTEN)
  include(${CMAKE_CURRENT_LIST_DIR}/other_architecture.cmake)
  return()
endif()

if(WIN32)
  set(allegro_platform Windows)
  set(allegro_patch ${CMAKE_CURRENT_LIST_DIR}/use-standard-dinput-devices.patch)
  set(allegro_drivers "")
  set(allegro_options "")
  # What the library's Windows drivers use: GDI, DirectDraw, DirectInput, DirectSound, winmm.
  set(allegro_link_libraries gdi32 comdlg32 ole32 dinput ddraw dxguid winmm dsound)
else()
  set(allegro_platform "the browser")
  set(allegro_patch ${CMAKE_CURRENT_LIST_DIR}/web-drivers.patch)
  set(allegro_driver_dir ${PROJECT_SOURCE_DIR}/platform/web/drivers)
  file(GLOB allegro_drivers ${allegro_driver_dir}/*)
  # A Unix build without X, sound, modules or the console; the patch adds our drivers.
  # RT_LIBRARY is only looked for, and not found, in Emscripten's sysroot: its libc has
  # clock_gettime.
  set(allegro_options -DWANT_X11=OFF -DWANT_LINUX_CONSOLE=OFF -DWANT_OSS=OFF -DWANT_ALSA=OFF
      -DWANT_JACK=OFF -DWANT_SGIAUDIO=OFF -DWANT_MODULES=OFF -DRT_LIBRARY=-lc
      -DALLEGRO_WEB_DRIVERS=${allegro_driver_dir})
  set(allegro_link_libraries "")
endif()

set(allegro_tarball allegro4.4_4.4.3.1.orig.tar.gz)
# The tarball's hash in Debian's signed source index: the patch below is made for this source.
set(allegro_tarball_sha256 ec19dbc9a021244582b4819b3583ee594b50141f9fcf6944a4ed8069cbf8d4d4)
set(allegro_dir ${PROJECT_BINARY_DIR}/allegro)
set(allegro_prefix ${allegro_dir}/install)
set(allegro_library ${allegro_prefix}/lib/liballeg.a)

function(run_or_stop what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${allegro_dir} RESULT_VARIABLE status
                  OUTPUT_FILE ${allegro_dir}/${what}.log ERROR_FILE ${allegro_dir}/${what}.log)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Allegro for ${allegro_platform}: ${what} failed, see ${allegro_dir}/${what}.log")
  endif()
endfunction()

function(build_allegro)
  file(MAKE_DIRECTORY ${allegro_dir})
  if(NOT EXISTS ${allegro_dir}/${allegro_tarball} AND EXISTS ${FUNNIES_CACHE_DIR}/${allegro_tarball})
    file(COPY ${FUNNIES_CACHE_DIR}/${allegro_tarball} DESTINATION ${allegro_dir})
  endif()
  if(NOT EXISTS ${allegro_dir}/${allegro_tarball})
    message(STATUS "Allegro for ${allegro_platform}: fetching Debian's source package")
    # apt checks the tarball against the package's signed checksums (needs the deb-src entries
    # that scripts/install-deps.sh adds).
    run_or_stop(fetch apt-get source --tar-only --download-only allegro4.4)
  endif()
  file(SHA256 ${allegro_dir}/${allegro_tarball} sha256)
  if(NOT sha256 STREQUAL allegro_tarball_sha256)
    message(FATAL_ERROR "Allegro for ${allegro_platform}: ${allegro_tarball} is not the expected source")
  endif()
  file(COPY ${allegro_dir}/${allegro_tarball} DESTINATION ${FUNNIES_CACHE_DIR}) # kept once checked
  file(REMOVE_RECURSE ${allegro_dir}/source ${allegro_dir}/build ${allegro_prefix})
  file(ARCHIVE_EXTRACT INPUT ${allegro_dir}/${allegro_tarball} DESTINATION ${allegro_dir})
  file(RENAME ${allegro_dir}/allegro-4.4.3.1 ${allegro_dir}/source)
  run_or_stop(patch patch -p1 -d source -i ${allegro_patch})
  message(STATUS "Allegro for ${allegro_platform}: building the static library (about a minute)")
  run_or_stop(configure ${CMAKE_COMMAND} -S source -B build
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${allegro_prefix} -DSHARED=OFF
    -DWANT_ALLEGROGL=OFF -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF
    -DWANT_EXAMPLES=OFF -DWANT_TOOLS=OFF -DWANT_TESTS=OFF -DWANT_DOCS=OFF ${allegro_options})
  run_or_stop(build ${CMAKE_COMMAND} --build build --parallel 2)
  run_or_stop(install ${CMAKE_COMMAND} --install build)
endfunction()

# Built again whenever the source, the patch, the toolchain, the compiler, the options or one of
# our drivers changes: their hashes are the build's key. Paths are taken relative to the source
# tree, so that every clone has the same key.
set(build_inputs "${allegro_tarball_sha256} ${CMAKE_C_COMPILER} ${CMAKE_C_COMPILER_ID} \
${CMAKE_C_COMPILER_VERSION} ${allegro_options} ")
foreach(input ${allegro_patch} ${CMAKE_TOOLCHAIN_FILE} ${allegro_drivers})
  file(SHA256 ${input} input_sha256)
  string(APPEND build_inputs "${input}:${input_sha256} ")
endforeach()
string(REPLACE "${PROJECT_SOURCE_DIR}/" "" build_inputs "${build_inputs}")
string(SHA256 build_key "${build_inputs}")
# Each key's build is also kept in FUNNIES_CACHE_DIR, so that another clone or a clean build
# folder on this machine takes it instead of building it again (copied complete or not at all).
set(cached_prefix ${FUNNIES_CACHE_DIR}/allegro-${build_key})
set(built_with "")
if(EXISTS ${allegro_dir}/built-with)
  file(READ ${allegro_dir}/built-with built_with)
endif()
if(NOT EXISTS ${allegro_library} OR NOT built_with STREQUAL build_key)
  if(EXISTS ${cached_prefix}/lib/liballeg.a)
    message(STATUS "Allegro for ${allegro_platform}: the build kept in ${cached_prefix}")
    file(REMOVE_RECURSE ${allegro_prefix})
    file(COPY ${cached_prefix}/ DESTINATION ${allegro_prefix})
  else()
    build_allegro()
    file(REMOVE_RECURSE ${cached_prefix}.part)
    file(COPY ${allegro_prefix}/ DESTINATION ${cached_prefix}.part)
    file(RENAME ${cached_prefix}.part ${cached_prefix})
  endif()
  file(WRITE ${allegro_dir}/built-with ${build_key})
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${allegro_patch}
                                                               ${CMAKE_TOOLCHAIN_FILE}
                                                               ${allegro_drivers})

add_library(Allegro::allegro STATIC IMPORTED)
set_target_properties(Allegro::allegro PROPERTIES
  IMPORTED_LOCATION ${allegro_library}
  INTERFACE_INCLUDE_DIRECTORIES ${allegro_prefix}/include
  INTERFACE_COMPILE_DEFINITIONS ALLEGRO_STATICLINK
  INTERFACE_LINK_LIBRARIES "${allegro_link_libraries}")
