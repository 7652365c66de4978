# FreeType for the builds that have no FreeType package to link (the browser page and the
# Windows program on our layer), compiled from the Debian source package of the very version the
# desktop links, which `scripts/setup web` and `scripts/setup windows` unpack: the base layer and
# the Windows FNT driver, which is all the System font needs. No rasterisers, no compression, no
# outline formats: these builds draw every face in the System font.
set(SPIRALS_FREETYPE_SOURCE_DIR "${PROJECT_SOURCE_DIR}/build-deps/freetype" CACHE PATH
    "FreeType's unpacked source tree, for the browser and Windows builds on our layer")
if(NOT EXISTS "${SPIRALS_FREETYPE_SOURCE_DIR}/src/winfonts/winfnt.c")
  message(FATAL_ERROR "FreeType's source is not in ${SPIRALS_FREETYPE_SOURCE_DIR}: run `scripts/setup "
                      "windows` (or set SPIRALS_FREETYPE_SOURCE_DIR)")
endif()
set(ft ${SPIRALS_FREETYPE_SOURCE_DIR}/src)
add_library(spirals_freetype STATIC
  ${ft}/base/ftbase.c ${ft}/base/ftinit.c ${ft}/base/ftsystem.c ${ft}/base/ftdebug.c
  ${ft}/base/ftbitmap.c ${ft}/base/ftsynth.c ${ft}/base/ftwinfnt.c
  ${ft}/winfonts/winfnt.c)
target_include_directories(spirals_freetype SYSTEM PUBLIC ${SPIRALS_FREETYPE_SOURCE_DIR}/include)
target_include_directories(spirals_freetype PRIVATE ${CMAKE_CURRENT_LIST_DIR}/freetype-source)
target_compile_definitions(spirals_freetype PRIVATE FT2_BUILD_LIBRARY
                           "FT_CONFIG_MODULES_H=<spirals_ftmodule.h>")
# Not our code: its warnings are FreeType's business.
target_compile_options(spirals_freetype PRIVATE -w)
