# Writes the bash completion of za-rirevo-cli from the program's own --help
# and each command's --help, so that a new command or option is completed as
# soon as the program has it. Run as a script:
#   cmake -DPROGRAM=za-rirevo-cli -DOUTPUT=za-rirevo-cli.bash -P bash_completion.cmake
# What the help says and the completion offers:
#   "Subcommands:" lines "  NAME  description"  -> the commands;
#   option lines "  -x,--name TYPE  description" -> the options (of the
#   program, or of the command whose help it is); a TYPE of words joined by
#   "|" ("ok|cancel|yes|no") -> the values offered after the option.
function(read_help out_options out_commands out_values)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed")
  endif()
  string(REPLACE ";" "," help "${help}")
  string(REPLACE "\n" ";" lines "${help}")
  set(options)
  set(commands)
  set(values)
  set(section)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z][A-Za-z ]*):$")
      set(section ${CMAKE_MATCH_1})
    elseif(section STREQUAL "Options" AND line MATCHES "^  (-[A-Za-z],)?(--[a-z][a-z-]*)( ([^ ]+))?")
      set(name ${CMAKE_MATCH_2})
      set(type "${CMAKE_MATCH_4}")
      if(NOT name STREQUAL "--help" AND NOT name STREQUAL "--version")
        list(APPEND options ${name})
        if(type MATCHES "\\|")
          string(REPLACE "|" " " words "${type}")
          list(APPEND values "[${name}]=\"${words}\"")
        elseif(NOT type STREQUAL "")
          list(APPEND values "[${name}]=\"\"")
        endif()
      endif()
    elseif(section STREQUAL "Subcommands" AND line MATCHES "^  ([a-z][a-z-]*) ")
      list(APPEND commands ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set(${out_options} "${options}" PARENT_SCOPE)
  set(${out_commands} "${commands}" PARENT_SCOPE)
  set(${out_values} "${values}" PARENT_SCOPE)
endfunction()

read_help(global_options commands values)
set(command_options)
foreach(command IN LISTS commands)
  read_help(options ignored command_values ${command})
  list(JOIN options " " options)
  list(APPEND command_options "[${command}]=\"${options}\"")
  list(APPEND values ${command_values})
endforeach()
list(REMOVE_DUPLICATES values)
list(JOIN commands " " commands)
list(JOIN global_options " " global_options)
list(JOIN command_options " " command_options)
list(JOIN values " " values)

file(WRITE ${OUTPUT} "# bash completion for za-rirevo-cli -*- shell-script -*-
# Made from the program's --help when it was built (cmake/bash_completion.cmake).
_za_rirevo_cli() {
  local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]}
  local commands=\"${commands}\"
  local global_options=\"${global_options}\"
  local -A command_options=(${command_options})
  # The values of an option: its choices, or nothing to offer (free text).
  local -A values=(${values})
  if [[ \${values[\$prev]+set} ]]; then
    COMPREPLY=(\$(compgen -W \"\${values[\$prev]}\" -- \"\$cur\"))
    return
  fi
  local word command=
  for word in \"\${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do
    if [[ \" \$commands \" == *\" \$word \"* ]]; then
      command=\$word
      break
    fi
  done
  if [[ -z \$command ]]; then
    COMPREPLY=(\$(compgen -W \"\$commands \$global_options\" -- \"\$cur\"))
  else
    COMPREPLY=(\$(compgen -W \"\${command_options[\$command]} \$global_options\" -- \"\$cur\"))
  fi
}
complete -F _za_rirevo_cli za-rirevo-cli
")
