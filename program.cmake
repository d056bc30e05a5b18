# The jukebox itself. Everything but main() goes into a library so the unit
# tests can drive the real handlers, transport and drawing.
file(GLOB PROGRAM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/tunes/*.cpp
  ${CMAKE_SOURCE_DIR}/playback/*.cpp ${CMAKE_SOURCE_DIR}/ui/*.cpp)
list(FILTER PROGRAM_SOURCES EXCLUDE REGEX "/app/main\\.cpp$")
if(PROGRAM_SOURCES)
  add_library(brindlewick_core STATIC ${PROGRAM_SOURCES})
  target_include_directories(brindlewick_core PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(brindlewick_core PUBLIC pxtone PkgConfig::ALLEGRO4 Threads::Threads)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/app/main.cpp)
  add_executable(brindlewick app/main.cpp)
  target_link_libraries(brindlewick PRIVATE brindlewick_core)
endif()
