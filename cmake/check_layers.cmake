# Checks the includes of src/ against the layers (run by CTest as
# "layers"; cmake -DSOURCE_DIR=<repo> -P cmake/check_layers.cmake):
#  - a folder includes only its own layer or lower ones. The folders in order,
#    lowest first; a folder may include the folders before it, never one
#    after it, so no two folders can include each other:
#      platform | text cnf | app archive backup server | ui | ui/qt ui/win32
#    (the bars part the layers that are libraries: zarirevo_platform,
#    zarirevo_text, zarirevo_core, zarirevo_presentation, zarirevo_qt);
#  - only src/platform/ touches the host: no other file includes a host
#    header or reads the environment or the clock. The Win32 windows
#    (src/ui/win32) include <windows.h>: it is their widget toolkit, as Qt is
#    for src/ui/qt.
# Tests (*_test.cpp, *test_support.h) keep to their folder's layer as well
# (a domain test works on the session, never on the windows' model), and
# keep off the host outside src/platform/.
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR not set")
endif()
set(order platform text cnf app archive backup server ui ui/qt ui/win32)
set(host_headers "unistd\\.h|sys/|fcntl\\.h|dirent\\.h|spawn\\.h|iconv\\.h|pwd\\.h|grp\\.h|signal\\.h|termios\\.h|dlfcn\\.h|poll\\.h|pthread\\.h|time\\.h|ctime|utime\\.h|glob\\.h|fnmatch\\.h|wordexp\\.h|mntent\\.h|windows\\.h|io\\.h|direct\\.h")
set(host_calls "(^|[^A-Za-z0-9_.>])(getenv|secure_getenv|environ|time|clock|localtime|localtime_r|gmtime|gmtime_r|gettimeofday|clock_gettime|system)[ \t]*\\(|system_clock|steady_clock|high_resolution_clock|file_clock|utc_clock")

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
set(faults)
foreach(file ${files})
  get_filename_component(folder ${file} DIRECTORY)
  list(FIND order ${folder} rank)
  if(rank LESS 0)
    list(APPEND faults "${file}: folder ${folder} has no layer (add it to cmake/check_layers.cmake)")
    continue()
  endif()
  # One list item per line: ";" and square brackets would split or join items.
  file(READ ${SOURCE_DIR}/src/${file} content)
  string(REGEX REPLACE "[][;\\]" "_" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REGEX REPLACE "//.*$" "" code "${line}")
    string(REGEX REPLACE "\"[^\"]*\"" "\"\"" bare "${code}")
    if(NOT folder STREQUAL "platform" AND NOT folder MATCHES "^platform/")
      if(code MATCHES "^[ \t]*#[ \t]*include[ \t]*<(${host_headers})" AND
         NOT (folder STREQUAL "ui/win32" AND code MATCHES "<windows\\.h>"))
        list(APPEND faults "${file}:${number}: host header outside src/platform: ${line}")
      elseif(bare MATCHES "${host_calls}")
        list(APPEND faults "${file}:${number}: environment or clock outside src/platform: ${line}")
      endif()
    endif()
    if(code MATCHES "^[ \t]*#[ \t]*include[ \t]*\"(.+)/[^/]+\"")
      set(target ${CMAKE_MATCH_1})
      list(FIND order ${target} target_rank)
      if(target_rank GREATER rank)
        list(APPEND faults "${file}:${number}: ${folder} includes the higher ${target}: ${line}")
      endif()
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Layer check failed:\n${text}")
endif()
list(LENGTH files count)
message(STATUS "Layer check: ${count} files of src/ keep to their layers")
