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
# What the help says in short and the include file says in full (the
# commands, the exit codes) is kept once, in the include file's section.
file(READ ${folder}/${page} text)
foreach(pair "Subcommands:|COMMANDS" "Exit codes:|\"EXIT STATUS\"")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 subsection)
  list(GET pair 1 section)
  string(FIND "${text}" "\n.SH ${section}\n" full)
  string(FIND "${text}" "\n.SS \"${subsection}\"\n" short)
  if(full GREATER_EQUAL 0 AND short GREATER_EQUAL 0)
    math(EXPR after "${short} + 1")
    string(SUBSTRING "${text}" ${after} -1 rest)
    string(REGEX MATCH "^\\.SS [^\n]*\n([^.]|\\.[^S]|\\.S[^HS])*" block "${rest}")
    string(LENGTH "${block}" length)
    string(SUBSTRING "${text}" 0 ${after} head)
    string(SUBSTRING "${rest}" ${length} -1 tail)
    set(text "${head}${tail}")
  endif()
endforeach()
file(WRITE ${folder}/${page} "${text}")
execute_process(COMMAND gzip -9nf ${folder}/${page} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${page}")
endif()
