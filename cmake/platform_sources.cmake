# Where the platforms differ, a file NAME_windows.cpp takes the place of
# NAME.cpp in the Windows build (or stands alone there); elsewhere every
# *_windows.cpp is left out.
function(choose_platform_sources list_var)
  set(sources ${${list_var}})
  set(windows_only ${sources})
  list(FILTER windows_only INCLUDE REGEX "_windows\\.cpp$")
  if(WIN32)
    foreach(file ${windows_only})
      string(REGEX REPLACE "_windows\\.cpp$" ".cpp" twin "${file}")
      list(REMOVE_ITEM sources "${twin}")
    endforeach()
  elseif(windows_only)
    list(REMOVE_ITEM sources ${windows_only})
  endif()
  set(${list_var} ${sources} PARENT_SCOPE)
endfunction()
