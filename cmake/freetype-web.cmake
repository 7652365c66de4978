# FreeType for the browser build, compiled from the Debian source package that `scripts/setup
# web` unpacks: the base layer and the Windows FNT driver, which is all the System font needs.
# No rasterisers, no compression, no outline formats: the page has no other font files.
set(SPIRALS_FREETYPE_SOURCE "${PROJECT_SOURCE_DIR}/build-web/deps/freetype" CACHE PATH
    "FreeType's unpacked source tree, for the browser build")
if(NOT EXISTS "${SPIRALS_FREETYPE_SOURCE}/src/winfonts/winfnt.c")
  message(FATAL_ERROR "FreeType's source is not in ${SPIRALS_FREETYPE_SOURCE}: run `scripts/setup web` "
                      "(or set SPIRALS_FREETYPE_SOURCE)")
endif()
set(ft ${SPIRALS_FREETYPE_SOURCE}/src)
add_library(spirals_freetype STATIC
  ${ft}/base/ftbase.c ${ft}/base/ftinit.c ${ft}/base/ftsystem.c ${ft}/base/ftdebug.c
  ${ft}/base/ftbitmap.c ${ft}/base/ftsynth.c ${ft}/base/ftwinfnt.c
  ${ft}/winfonts/winfnt.c)
target_include_directories(spirals_freetype SYSTEM PUBLIC ${SPIRALS_FREETYPE_SOURCE}/include)
target_include_directories(spirals_freetype PRIVATE ${CMAKE_CURRENT_LIST_DIR}/freetype-web)
target_compile_definitions(spirals_freetype PRIVATE FT2_BUILD_LIBRARY
                           "FT_CONFIG_MODULES_H=<spirals_ftmodule.h>")
# Not our code: its warnings are FreeType's business.
target_compile_options(spirals_freetype PRIVATE -w)
