# The 32-bit Windows build, cross-compiled with MinGW-w64 by
# scripts/windows-build (toolchain cmake/mingw-i686.cmake): the jukebox
# brindlewick.exe and ptrender.exe, both linked statically so that they need
# nothing but Windows' own DLLs, and the engine as brindlewick.dll for
# programs of others. Allegro 4.4, libogg, libvorbis and libsndfile are
# built from Debian's source packages by that script; their places come in
# as ALLEGRO_PREFIX, XIPH_SOURCE_DIR and SNDFILE_PREFIX.
enable_language(RC)
add_link_options(-static -s)

set(ALLEGRO_PREFIX "" CACHE PATH "Allegro 4.4 built for Windows (static)")
set(SNDFILE_PREFIX "" CACHE PATH "libsndfile built for Windows (static)")
find_library(ALLEGRO_LIBRARY alleg PATHS ${ALLEGRO_PREFIX}/lib NO_DEFAULT_PATH
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(SNDFILE_LIBRARY sndfile PATHS ${SNDFILE_PREFIX}/lib NO_DEFAULT_PATH
             NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# Under the names the Linux build's pkg-config targets have.
add_library(PkgConfig::ALLEGRO4 INTERFACE IMPORTED)
target_include_directories(PkgConfig::ALLEGRO4 INTERFACE ${ALLEGRO_PREFIX}/include)
target_compile_definitions(PkgConfig::ALLEGRO4 INTERFACE ALLEGRO_STATICLINK)
target_link_libraries(PkgConfig::ALLEGRO4 INTERFACE ${ALLEGRO_LIBRARY}
  kernel32 user32 gdi32 comdlg32 ole32 dinput ddraw dxguid winmm dsound)
add_library(PkgConfig::SNDFILE INTERFACE IMPORTED)
target_include_directories(PkgConfig::SNDFILE INTERFACE ${SNDFILE_PREFIX}/include)
target_link_libraries(PkgConfig::SNDFILE INTERFACE ${SNDFILE_LIBRARY})
include(${CMAKE_CURRENT_LIST_DIR}/vorbis_from_source.cmake)
find_package(Threads REQUIRED)

add_subdirectory(pxtone)
add_subdirectory(tools)
include(program.cmake)

# The folder the zip is made of (scripts/windows-build):
#   brindlewick.exe, ptrender.exe, README.txt, demo.cmd, demo/ (skin, tunes),
#   library/ (brindlewick.dll, its import library and .def file, brindlewick.h).
install(TARGETS brindlewick ptrender RUNTIME DESTINATION .)
install(TARGETS brindlewick_shared RUNTIME DESTINATION library ARCHIVE DESTINATION library)
install(FILES pxtone/brindlewick.h ${CMAKE_BINARY_DIR}/pxtone/brindlewick.def DESTINATION library)
install(FILES resources/windows/README.txt resources/windows/demo.cmd DESTINATION .)
install(DIRECTORY demo/ DESTINATION demo)
