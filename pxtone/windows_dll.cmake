# brindlewick.dll (with its import library libbrindlewick.dll.a) exports the
# calls brindlewick.h declares and nothing else: they are listed in a module
# definition file made from the header, so a call added there is exported.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/brindlewick.h declarations
     REGEX "^[A-Za-z].*[ *]bw_[a-z_0-9]+\\(")
set(exports "")
foreach(line ${declarations})
  string(REGEX MATCH "bw_[a-z_0-9]+\\(" call "${line}")
  string(REPLACE "(" "" call "${call}")
  string(APPEND exports "    ${call}\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/brindlewick.def
     CONTENT "LIBRARY brindlewick.dll\nEXPORTS\n${exports}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/brindlewick.h)
target_sources(brindlewick_shared PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/brindlewick.def)
set_target_properties(brindlewick_shared PROPERTIES PREFIX "")
