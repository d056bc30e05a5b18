# The jukebox itself. Everything but main() goes into a library so the unit
# tests can drive the real handlers, transport and drawing.
file(GLOB PROGRAM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/tunes/*.cpp
  ${CMAKE_SOURCE_DIR}/playback/*.cpp ${CMAKE_SOURCE_DIR}/ui/*.cpp)
list(FILTER PROGRAM_SOURCES EXCLUDE REGEX "/app/main\\.cpp$")
choose_platform_sources(PROGRAM_SOURCES)

# The demo skin, embedded for the fallback.
set(SKIN_CPP)
foreach(pair "UI.bmp;BUILTIN_UI_BMP" "BG.bmp;BUILTIN_BG_BMP")
  list(GET pair 0 file)
  list(GET pair 1 symbol)
  set(out ${CMAKE_BINARY_DIR}/generated/${symbol}.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/demo/${file} -DOUT=${out} -DNAME=${symbol}
            -P ${CMAKE_SOURCE_DIR}/resources/embed.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/demo/${file} ${CMAKE_SOURCE_DIR}/resources/embed.cmake
    COMMENT "Embedding demo/${file}")
  list(APPEND SKIN_CPP ${out})
endforeach()

if(PROGRAM_SOURCES)
  add_library(brindlewick_core STATIC ${PROGRAM_SOURCES} ${SKIN_CPP})
  target_include_directories(brindlewick_core PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(brindlewick_core PUBLIC pxtone PkgConfig::ALLEGRO4 Threads::Threads)
endif()
# The window icon goes straight into the executable: nothing calls it, so a
# static library would leave it out. On Windows the icon and the version
# record are resources (Allegro finds the icon as "ALLEGRO_ICON"), and the
# program is a GUI one, entered through Allegro's WinMain.
file(GLOB RESOURCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.cpp)
set(PROGRAM_KIND "")
if(WIN32)
  set(RESOURCE_SOURCES ${CMAKE_SOURCE_DIR}/resources/brindlewick.rc)
  set(PROGRAM_KIND WIN32)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/app/main.cpp)
  add_executable(brindlewick ${PROGRAM_KIND} app/main.cpp ${RESOURCE_SOURCES})
  target_link_libraries(brindlewick PRIVATE brindlewick_core)
endif()

if(TARGET brindlewick AND NOT WIN32)  # (Windows: cmake/windows.cmake)
  install(TARGETS brindlewick RUNTIME DESTINATION bin)
endif()
