# build-win32/spirals-setup.exe: the 32-bit installer, made with NSIS (Debian's nsis). The
# 32-bit program runs on every Windows, so only the 32-bit build makes one.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "i.86" AND TARGET spirals AND TARGET spirals_scr
   AND TARGET spirals_system)
  find_program(SPIRALS_MAKENSIS makensis)
  if(NOT SPIRALS_MAKENSIS)
    message(WARNING "makensis not found (Debian package nsis; run scripts/setup): "
                    "no spirals-setup.exe")
    return()
  endif()
  set(script ${CMAKE_CURRENT_SOURCE_DIR}/windows/spirals.nsi)
  set(setup ${CMAKE_BINARY_DIR}/spirals-setup.exe)
  add_custom_command(OUTPUT ${setup}
    COMMAND ${SPIRALS_MAKENSIS} -V2 -NOCD -DVERSION=${PROJECT_VERSION}
            -DPROGRAM=$<TARGET_FILE:spirals> -DPROGRAM_GDI=$<TARGET_FILE:spirals_system>
            -DSAVER=$<TARGET_FILE:spirals_scr>
            -DICON=${PROJECT_SOURCE_DIR}/resources/spirals.ico -DOUTFILE=${setup} ${script}
    DEPENDS spirals spirals_system spirals_scr ${script} ${PROJECT_SOURCE_DIR}/resources/spirals.ico
    COMMENT "Installer spirals-setup.exe"
    VERBATIM)
  add_custom_target(spirals_installer ALL DEPENDS ${setup})
endif()
