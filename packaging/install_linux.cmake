# What `cmake --install` puts under the prefix: the program, the same program where
# XScreenSaver runs its savers, the saver's description, a desktop entry, icons, the manual
# page, and the copyright and changelog files Debian's policy asks for.
include(GNUInstallDirs)

set(SPIRALS_PACKAGE_MAINTAINER "spirals developers <spirals@example.org>" CACHE STRING
    "Name and address of the packages' maintainer")

install(TARGETS spirals RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# XScreenSaver starts hacks from its own folder; a relative link there keeps one program,
# wherever the prefix is.
set(saver_dir ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
if(IS_ABSOLUTE "${saver_dir}" OR IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(saver_target ${CMAKE_INSTALL_FULL_BINDIR}/spirals)
else()
  file(RELATIVE_PATH saver_target /prefix/${saver_dir} /prefix/${CMAKE_INSTALL_BINDIR}/spirals)
endif()
install(CODE "
  set(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${saver_dir}\")
  if(IS_ABSOLUTE \"${saver_dir}\")
    set(dir \"\$ENV{DESTDIR}${saver_dir}\")
  endif()
  file(MAKE_DIRECTORY \"\${dir}\")
  message(STATUS \"Installing: \${dir}/spirals -> ${saver_target}\")
  file(CREATE_LINK \"${saver_target}\" \"\${dir}/spirals\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${dir}/spirals\")
")
install(FILES ${PROJECT_SOURCE_DIR}/resources/xscreensaver/spirals.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/spirals.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Icon 101 in the sizes desktops ask for, scaled without smoothing.
set(generated)
set(icon_source ${PROJECT_SOURCE_DIR}/resources/spirals.ico)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/spirals.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND spirals-icon-png ${icon_source} ${size} ${png}
    DEPENDS spirals-icon-png ${icon_source}
    COMMENT "Icon ${size}x${size}")
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  list(APPEND generated ${png})
endforeach()

# Debian wants manual pages and changelogs compressed with gzip -9, without a time stamp.
function(spirals_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    VERBATIM)
endfunction()
set(page ${CMAKE_CURRENT_BINARY_DIR}/spirals.6)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/spirals.6.in ${page} @ONLY)
spirals_gzip(${page} ${page}.gz)
install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog.in ${changelog} @ONLY)
spirals_gzip(${changelog} ${changelog}.gz)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright.in
               ${CMAKE_CURRENT_BINARY_DIR}/copyright @ONLY)
install(FILES ${changelog}.gz ${CMAKE_CURRENT_BINARY_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

list(APPEND generated ${page}.gz ${changelog}.gz)
add_custom_target(spirals_install_files ALL DEPENDS ${generated})
