# cmake --install: the program, a desktop menu entry that starts it through
# a small launcher, the icon in the hicolor theme, and the demo folder (skin
# and tunes) in the data dir:
#   bin/brindlewick
#   libexec/brindlewick/brindlewick-launcher    (the menu entry's command)
#   share/applications/brindlewick.desktop
#   share/icons/hicolor/{16x16,32x32,64x64}/apps/brindlewick.png
#   share/brindlewick/demo/{UI.bmp,BG.bmp,*.ptcop,*.pttune}
#   share/man/man1/{brindlewick,ptrender}.1
#   lib/libbrindlewick.so.1.0.0 (and its .so.1 and .so links)
#   include/brindlewick.h
#   lib/pkgconfig/brindlewick.pc
#   share/mime/packages/brindlewick.xml (and the MIME database updated)
#   lib/<multiarch>/gstreamer-1.0/libgstbrindlewick.so (gst/CMakeLists.txt)
# and bin/ptrender (tools/CMakeLists.txt). The jukebox's pxtone.h is not
# installed: it is a part of the program, not a library.
# The launcher and the entry name absolute paths, so they are written at
# install time, when the prefix (also one given by --prefix) is known.
include(GNUInstallDirs)

# The program itself is installed to bin/ by program.cmake.
set(BW_LIBEXEC ${CMAKE_INSTALL_LIBEXECDIR}/brindlewick)
set(BW_DEMO ${CMAKE_INSTALL_DATADIR}/brindlewick/demo)
set(BW_GENERATED ${CMAKE_BINARY_DIR}/install-generated)
install(CODE "
  set(PROGRAM \"\${CMAKE_INSTALL_PREFIX}/bin/brindlewick\")
  set(DEMO_DIR \"\${CMAKE_INSTALL_PREFIX}/${BW_DEMO}\")
  set(LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${BW_LIBEXEC}/brindlewick-launcher\")
  configure_file(${CMAKE_SOURCE_DIR}/resources/brindlewick-launcher.in
                 ${BW_GENERATED}/brindlewick-launcher @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/resources/brindlewick.desktop.in
                 ${BW_GENERATED}/brindlewick.desktop @ONLY)
  set(PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
  set(INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(VERSION ${BW_LIBRARY_VERSION})
  configure_file(${CMAKE_SOURCE_DIR}/pxtone/brindlewick.pc.in ${BW_GENERATED}/brindlewick.pc @ONLY)
")
install(PROGRAMS ${BW_GENERATED}/brindlewick-launcher DESTINATION ${BW_LIBEXEC})
install(FILES ${BW_GENERATED}/brindlewick.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 64)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/brindlewick-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME brindlewick.png)
endforeach()
file(GLOB BW_DEMO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/demo/*.bmp
     ${CMAKE_SOURCE_DIR}/demo/*.ptcop ${CMAKE_SOURCE_DIR}/demo/*.pttune)
install(FILES ${BW_DEMO_FILES} DESTINATION ${BW_DEMO})

# Manual pages, where a Debian package puts them: share/man/man1.
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/brindlewick.1 ${CMAKE_SOURCE_DIR}/docs/man/ptrender.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The engine's library, for programs of others (pkg-config brindlewick).
install(TARGETS brindlewick_shared LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${CMAKE_SOURCE_DIR}/pxtone/brindlewick.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${BW_GENERATED}/brindlewick.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The desktop's file types: both tune formats by extension and file code
# (share/mime/packages/brindlewick.xml), and the prefix's MIME database
# brought up to date where update-mime-database is there. Not into a
# DESTDIR: a package's own install step does that on the real system.
install(FILES ${CMAKE_SOURCE_DIR}/resources/brindlewick-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME brindlewick.xml)
install(CODE "
  find_program(UPDATE_MIME_DATABASE update-mime-database)
  set(mime_dir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\")
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\" AND UPDATE_MIME_DATABASE)
    execute_process(COMMAND \${UPDATE_MIME_DATABASE} \${mime_dir} RESULT_VARIABLE failed)
    if(failed)
      message(STATUS \"update-mime-database \${mime_dir} failed; the file types are known after it runs\")
    endif()
  else()
    message(STATUS \"MIME database not updated: run update-mime-database \${mime_dir}\")
  endif()
")
