# libogg and libvorbis's decoder with vorbisfile, built from Debian's source
# packages into one static library, for targets Debian has no package of
# (WebAssembly, Windows). scripts/debian-source fetches the sources:
#
#   scripts/debian-source DIR libogg=1.3.5-3 libvorbis=1.3.7-1
#
# and XIPH_SOURCE_DIR names that DIR. The library takes the name the native
# build's pkg-config target has, PkgConfig::VORBISFILE, so the engine links
# it the same way everywhere. Its optimisation flags are the ones Debian's
# own libvorbis is built with (with them, GCC here decodes to the very
# samples Debian's library gives), so that Ogg voices sound the same on
# every target; the builds for other targets check that they do.
set(XIPH_SOURCE_DIR "" CACHE PATH "where scripts/debian-source unpacked libogg and libvorbis")
set(OGG_DIR ${XIPH_SOURCE_DIR}/libogg-1.3.5)
set(VORBIS_DIR ${XIPH_SOURCE_DIR}/libvorbis-1.3.7)
if(NOT EXISTS ${OGG_DIR}/src/framing.c OR NOT EXISTS ${VORBIS_DIR}/lib/vorbisfile.c)
  message(FATAL_ERROR "libogg 1.3.5 and libvorbis 1.3.7 sources not found in XIPH_SOURCE_DIR "
    "(${XIPH_SOURCE_DIR}); fetch them with scripts/debian-source")
endif()

# What libogg's configure would write for a target with stdint.h.
set(INCLUDE_INTTYPES_H 0)
set(INCLUDE_STDINT_H 1)
set(INCLUDE_SYS_TYPES_H 0)
set(SIZE16 int16_t)
set(USIZE16 uint16_t)
set(SIZE32 int32_t)
set(USIZE32 uint32_t)
set(SIZE64 int64_t)
set(USIZE64 uint64_t)
configure_file(${OGG_DIR}/include/ogg/config_types.h.in
               ${CMAKE_BINARY_DIR}/xiph/include/ogg/config_types.h @ONLY)

set(VORBIS_DECODER_SOURCES mdct.c smallft.c block.c envelope.c window.c lsp.c lpc.c analysis.c
    synthesis.c psy.c info.c floor1.c floor0.c res0.c mapping0.c registry.c codebook.c
    sharedbook.c lookup.c bitrate.c vorbisfile.c)
list(TRANSFORM VORBIS_DECODER_SOURCES PREPEND ${VORBIS_DIR}/lib/)
add_library(xiph_vorbisfile STATIC ${OGG_DIR}/src/bitwise.c ${OGG_DIR}/src/framing.c
            ${VORBIS_DECODER_SOURCES})
target_include_directories(xiph_vorbisfile SYSTEM PUBLIC ${CMAKE_BINARY_DIR}/xiph/include
  ${OGG_DIR}/include ${VORBIS_DIR}/include PRIVATE ${VORBIS_DIR}/lib)
target_compile_options(xiph_vorbisfile PRIVATE -O2 -ffast-math -fsigned-char -w)
target_compile_definitions(xiph_vorbisfile PRIVATE _REENTRANT)
set_target_properties(xiph_vorbisfile PROPERTIES POSITION_INDEPENDENT_CODE ON)
add_library(PkgConfig::VORBISFILE ALIAS xiph_vorbisfile)
