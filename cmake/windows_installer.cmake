# What a service engineer gets for Windows (scripts/build-windows):
#   packages/za-rirevo-VERSION-setup.exe  the installer (packaging/windows/za-rirevo.nsi,
#                                built by Debian's makensis)
#   packages/za-rirevo-windows.zip        the same three programs and the README, to copy
#                                by hand
# both in the build folder, made by the target `windows_packages`.
find_program(ZARIREVO_MAKENSIS makensis REQUIRED)
set(readme ${PROJECT_BINARY_DIR}/packages/README.txt)
set(setup ${PROJECT_BINARY_DIR}/packages/za-rirevo-${PROJECT_VERSION}-setup.exe)
set(portable ${PROJECT_BINARY_DIR}/packages/za-rirevo-windows.zip)
# Windows' own line ends, for Notepad before Windows 10.
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt ${readme} @ONLY
               NEWLINE_STYLE CRLF)
set(nsi ${PROJECT_SOURCE_DIR}/packaging/windows/za-rirevo.nsi)
add_custom_command(
  OUTPUT ${setup}
  COMMAND ${ZARIREVO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
          -DWINDOWS_EXE=$<TARGET_FILE:za-rirevo> -DCLI_EXE=$<TARGET_FILE:za-rirevo-cli>
          -DARCHIVER_EXE=$<TARGET_FILE:pkzip25> -DICON=${ZARIREVO_ICON} -DREADME=${readme}
          -DOUTFILE=${setup} ${nsi}
  DEPENDS ${nsi} ${readme} ${ZARIREVO_ICON} za-rirevo za-rirevo-cli pkzip25
  COMMENT "Installer za-rirevo-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
set(staging ${PROJECT_BINARY_DIR}/packages/zip)
add_custom_command(
  OUTPUT ${portable}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${staging} ${portable}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${staging}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:za-rirevo> $<TARGET_FILE:za-rirevo-cli> ${staging}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:pkzip25> ${staging}/PkZip25.EXE
  COMMAND ${CMAKE_COMMAND} -E copy ${readme} ${staging}/README.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${staging} ${CMAKE_COMMAND} -E tar cf ${portable} --format=zip
          za-rirevo.exe za-rirevo-cli.exe PkZip25.EXE README.txt
  DEPENDS ${readme} za-rirevo za-rirevo-cli pkzip25
  COMMENT "Portable zip za-rirevo-windows.zip"
  VERBATIM)
add_custom_target(windows_packages DEPENDS ${setup} ${portable})
