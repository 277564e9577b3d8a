# Writes one gzipped man page from a program's --help and --version and an
# include file, with help2man. Run as a script:
#   cmake -DHELP2MAN=... -DPROGRAM=... -DVERSION=... -DINCLUDES=a;b
#         -DOUTPUT=page.1.gz -P help2man.cmake  (INCLUDES separated by "|")
# A program that does not answer --version gets VERSION in its page instead,
# so a page never fails for want of that option.
execute_process(COMMAND ${PROGRAM} --version RESULT_VARIABLE version_result
                OUTPUT_VARIABLE version_text ERROR_QUIET)
set(version_option)
if(NOT version_result EQUAL 0 OR version_text STREQUAL "")
  set(version_option "--version-string=${VERSION}")
endif()
set(include_options)
string(REPLACE "|" ";" INCLUDES "${INCLUDES}")
foreach(include IN LISTS INCLUDES)
  list(APPEND include_options "--include=${include}")
endforeach()
get_filename_component(page ${OUTPUT} NAME_WLE)
get_filename_component(folder ${OUTPUT} DIRECTORY)
execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 --source=ZA-Rirevo
          --manual=ZA-Rirevo ${version_option} ${include_options}
          --output=${folder}/${page} ${PROGRAM}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${PROGRAM}")
endif()
execute_process(COMMAND gzip -9nf ${folder}/${page} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${page}")
endif()
