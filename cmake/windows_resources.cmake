# The Windows programs' resources: the application icon (made from
# packaging/za-rirevo.svg with rsvg-convert and icotool), a VERSIONINFO with
# the project's version, and the program's manifest (its version filled in
# the same way). scripts/install-deps --windows installs the two tools.
find_program(ZARIREVO_RSVG rsvg-convert REQUIRED)
find_program(ZARIREVO_ICOTOOL icotool REQUIRED)
set(ZARIREVO_ICON ${PROJECT_BINARY_DIR}/za-rirevo.ico)
set(icon_sizes 16 20 24 32 40 48 64 256)
set(icon_pictures)
foreach(size ${icon_sizes})
  # The largest picture stored as PNG (-r), as Windows reads it since Vista.
  if(size EQUAL 256)
    list(APPEND icon_pictures -r)
  endif()
  list(APPEND icon_pictures ${PROJECT_BINARY_DIR}/icon/za-rirevo-${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${ZARIREVO_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icon
  COMMAND ${CMAKE_COMMAND} -DRSVG=${ZARIREVO_RSVG} -DSVG=${PROJECT_SOURCE_DIR}/packaging/za-rirevo.svg
          "-DSIZES=${icon_sizes}" -DFOLDER=${PROJECT_BINARY_DIR}/icon
          -P ${PROJECT_SOURCE_DIR}/cmake/render_icon.cmake
  COMMAND ${ZARIREVO_ICOTOOL} -c -o ${ZARIREVO_ICON} ${icon_pictures}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/za-rirevo.svg ${PROJECT_SOURCE_DIR}/cmake/render_icon.cmake
  COMMENT "Application icon za-rirevo.ico"
  VERBATIM)
add_custom_target(zarirevo_icon DEPENDS ${ZARIREVO_ICON})

# Gives `target` (file name `file_name`) the icon, the version information
# described by `description` and the manifest `manifest` (a template whose
# @PROJECT_VERSION@ becomes the version).
function(zarirevo_windows_resources target file_name description manifest)
  get_filename_component(manifest_name ${manifest} NAME)
  set(folder ${PROJECT_BINARY_DIR}/resources/${target})
  set(ZARIREVO_MANIFEST ${folder}/${manifest_name})
  set(ZARIREVO_FILE_NAME ${file_name})
  set(ZARIREVO_DESCRIPTION ${description})
  set(ZARIREVO_INTERNAL_NAME ${target})
  configure_file(${manifest} ${ZARIREVO_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/resources.rc.in ${folder}/resources.rc
                 @ONLY)
  target_sources(${target} PRIVATE ${folder}/resources.rc)
  set_source_files_properties(${folder}/resources.rc PROPERTIES OBJECT_DEPENDS
                              "${ZARIREVO_ICON};${ZARIREVO_MANIFEST}")
  add_dependencies(${target} zarirevo_icon)
endfunction()
