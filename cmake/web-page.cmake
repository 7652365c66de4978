# The page: spirals.html with its .js and .wasm. The program's own loop runs as it is; Asyncify
# lets WaitMessage give the browser its thread back (emscripten_sleep) and resume afterwards.
# The System font's file is embedded at the path the layer reads it from.
set(SPIRALS_WEB_FONT "/usr/share/wine/fonts/vgasys.fon" CACHE FILEPATH
    "The System font file embedded in the page")
if(NOT EXISTS "${SPIRALS_WEB_FONT}")
  message(FATAL_ERROR "${SPIRALS_WEB_FONT} is missing: the Debian package fonts-wine provides it")
endif()
# The lowest data address of the page, above the 64 KiB of resource numbers; the host checks it.
set(SPIRALS_WEB_DATA_BASE 65536)
set(web_dir ${PROJECT_SOURCE_DIR}/platform/portable/host_web/browser)
add_executable(spirals main.cpp)
target_link_libraries(spirals PRIVATE spirals_app spirals_host_web)
set_target_properties(spirals PROPERTIES SUFFIX ".html")
target_link_options(spirals PRIVATE
  -sASYNCIFY=1
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=33554432
  -sENVIRONMENT=web
  # Win32 reads a pointer below 64 KiB as a resource number or atom (MAKEINTRESOURCE), so no
  # string of ours may live there; WebAssembly's data starts at 1 KiB unless told otherwise.
  -sGLOBAL_BASE=${SPIRALS_WEB_DATA_BASE}
  # Debian's emscripten 3.1.6 calls its HTML minifier with a broken command line.
  -sMINIFY_HTML=0
  --js-library=${web_dir}/page_library.js
  --shell-file=${web_dir}/shell.html
  --embed-file=${SPIRALS_WEB_FONT}@/usr/share/wine/fonts/vgasys.fon)
set_property(TARGET spirals APPEND PROPERTY LINK_DEPENDS
  ${web_dir}/page_library.js ${web_dir}/shell.html ${SPIRALS_WEB_FONT})
