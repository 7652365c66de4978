# spirals_wayland_protocols(TARGET XML...): the client side of Wayland protocols, made by
# wayland-scanner at build time in the build folder (a header and the interface tables for
# each), as a static library. XML paths are relative to the wayland-protocols package's folder.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_PROTOCOLS_DIR)
  message(FATAL_ERROR "wayland-protocols is missing: run scripts/setup")
endif()

function(spirals_wayland_protocols target)
  set(out ${CMAKE_BINARY_DIR}/wayland-protocols)
  file(MAKE_DIRECTORY ${out})
  set(sources)
  foreach(relative ${ARGN})
    set(xml ${WAYLAND_PROTOCOLS_DIR}/${relative})
    get_filename_component(name ${xml} NAME_WE)
    add_custom_command(OUTPUT ${out}/${name}-client.h
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${name}-client.h
      DEPENDS ${xml} VERBATIM)
    add_custom_command(OUTPUT ${out}/${name}-protocol.c
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${name}-protocol.c
      DEPENDS ${xml} VERBATIM)
    list(APPEND sources ${out}/${name}-client.h ${out}/${name}-protocol.c)
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${out})
  target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND)
endfunction()
