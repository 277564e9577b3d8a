# Renders SVG into FOLDER/za-rirevo-<size>.png for each of SIZES with RSVG
# (rsvg-convert); run by cmake/windows_resources.cmake.
foreach(size ${SIZES})
  execute_process(COMMAND ${RSVG} -w ${size} -h ${size} -o ${FOLDER}/za-rirevo-${size}.png ${SVG}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "rsvg-convert could not render ${SVG} at ${size} pixels")
  endif()
endforeach()
