# Installation and the Debian package: the three programs in bin/, their man
# pages (made by help2man from --help and --version and man/*.h2m), the
# desktop entry and the application icon, the bash completion of
# za-rirevo-cli, and the copyright and changelog in share/doc/za-rirevo.
# `cpack` in the build folder writes za-rirevo_VERSION_ARCH.deb, its
# dependencies read from the shared libraries.
include(GNUInstallDirs)

foreach(program za-rirevo za-rirevo-cli pkzip25)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The archiver under its Windows name, in a folder to map as a drive: on a
# real Windows disk C:\KYCONFIG\SYSTEM\PkZip25.EXE is a Windows program, so
# ZIPFILE in ZA-RIREVO.INI names this one instead (see README).
if(TARGET pkzip25)
  file(CREATE_LINK ../../bin/pkzip25 ${PROJECT_BINARY_DIR}/PkZip25.EXE SYMBOLIC)
  install(FILES ${PROJECT_BINARY_DIR}/PkZip25.EXE DESTINATION lib/za-rirevo)
endif()

# The windows' icon, also set as their window icon from a Qt resource.
if(TARGET za-rirevo)
  target_sources(za-rirevo PRIVATE ${PROJECT_SOURCE_DIR}/packaging/za-rirevo.qrc)
  set_target_properties(za-rirevo PROPERTIES AUTORCC ON)
  install(FILES packaging/za-rirevo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/za-rirevo.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES packaging/za-rirevo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
endif()

# The bash completion of za-rirevo-cli, made from its --help.
if(TARGET za-rirevo-cli)
  set(completion ${PROJECT_BINARY_DIR}/za-rirevo-cli.bash)
  add_custom_command(
    OUTPUT ${completion}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:za-rirevo-cli> -DOUTPUT=${completion}
            -P ${PROJECT_SOURCE_DIR}/cmake/bash_completion.cmake
    DEPENDS za-rirevo-cli ${PROJECT_SOURCE_DIR}/cmake/bash_completion.cmake
    COMMENT "Bash completion of za-rirevo-cli"
    VERBATIM)
  add_custom_target(za-rirevo-cli-completion ALL DEPENDS ${completion})
  install(FILES ${completion} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME za-rirevo-cli)
endif()

# The copyright (machine-readable) and the changelog, whose latest entry
# carries the project's version.
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/changelog > ${PROJECT_BINARY_DIR}/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/changelog
  COMMENT "changelog.gz")
add_custom_target(za-rirevo-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/za-rirevo)

# Man pages, when help2man is there (scripts/install-deps installs it); not
# from sanitized programs, whose reports could spoil their output.
find_program(HELP2MAN_PROGRAM help2man)
if(HELP2MAN_PROGRAM AND NOT ZARIREVO_SANITIZE)
  set(man_folder ${PROJECT_BINARY_DIR}/man)
  file(MAKE_DIRECTORY ${man_folder})
  foreach(program za-rirevo za-rirevo-cli pkzip25)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(includes ${PROJECT_SOURCE_DIR}/man/${program}.h2m)
    if(NOT program STREQUAL "pkzip25")
      list(APPEND includes ${PROJECT_SOURCE_DIR}/man/environment.h2m
           ${PROJECT_SOURCE_DIR}/man/settings.h2m)
    endif()
    string(REPLACE ";" "|" include_argument "${includes}")
    set(page ${man_folder}/${program}.1.gz)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${HELP2MAN_PROGRAM} -DPROGRAM=$<TARGET_FILE:${program}>
              -DVERSION=${PROJECT_VERSION} -DINCLUDES=${include_argument} -DOUTPUT=${page}
              -P ${PROJECT_SOURCE_DIR}/cmake/help2man.cmake
      DEPENDS ${program} ${includes} ${PROJECT_SOURCE_DIR}/cmake/help2man.cmake
      COMMENT "Man page ${program}(1)"
      VERBATIM)
    add_custom_target(${program}-man ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
elseif(NOT HELP2MAN_PROGRAM)
  message(STATUS "help2man not found: no man pages (scripts/install-deps installs it)")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME za-rirevo)
set(CPACK_PACKAGE_VENDOR "ZA-Rirevo")
set(CPACK_PACKAGE_CONTACT "ZA-Rirevo <assistenza@za-rirevo.it>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configuration backup of DAXOR, PLOVIK, TRELUN and DUNRA CAM installations")
set(CPACK_PACKAGE_DESCRIPTION
    "The backup utility of the service engineers of the DAXOR, PLOVIK, TRELUN and
DUNRA sheet-metal CAM products: it gathers a customer's configuration files
into a folder on the backup unit, packs them into one ZIP archive, files the
archives on a server and erases the backup unit. Windows (za-rirevo), a
console (za-rirevo-cli) and the archiver pkzip25.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (standard dialogs, the text box's menu) in Italian.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.za-rirevo.it/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})
include(CPack)
