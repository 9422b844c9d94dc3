# Runs the tool as a user would on one case of tests/golden/faelle/: every
# line of NAME.args is one command line (the tool's arguments), run in a
# fresh directory that holds copies of the case's files (NAME.vela and any
# other NAME.* data), so that the outputs show only the names given. The
# transcript (the command line, stdout and stderr, the exit status and the
# files the run wrote) is compared with NAME.out; with -DUPDATE=ON it is
# written there instead.
set(fall ${QUELLE}/tests/golden/faelle)
set(lauf ${ZIEL}/${NAME})
file(REMOVE_RECURSE ${lauf})
file(MAKE_DIRECTORY ${lauf})
file(GLOB dateien ${fall}/${NAME}.*)
list(FILTER dateien EXCLUDE REGEX "\\.(args|out)$")
file(COPY ${dateien} DESTINATION ${lauf})

file(STRINGS ${fall}/${NAME}.args zeilen)
set(protokoll "")
foreach(zeile IN LISTS zeilen)
  separate_arguments(argumente UNIX_COMMAND "${zeile}")
  file(GLOB vorher RELATIVE ${lauf} ${lauf}/*)
  execute_process(COMMAND ${TOOL} ${argumente} WORKING_DIRECTORY ${lauf} TIMEOUT 60
    OUTPUT_VARIABLE aus ERROR_VARIABLE fehler RESULT_VARIABLE status)
  string(APPEND protokoll "$ vela ${zeile}\n${aus}${fehler}exit status ${status}\n")
  file(GLOB nachher RELATIVE ${lauf} ${lauf}/*)
  list(REMOVE_ITEM nachher ${vorher})
  if(nachher)
    list(JOIN nachher " " neu)
    string(APPEND protokoll "wrote ${neu}\n")
  endif()
endforeach()
file(WRITE ${ZIEL}/${NAME}.out "${protokoll}")

if(UPDATE)
  file(COPY_FILE ${ZIEL}/${NAME}.out ${fall}/${NAME}.out)
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${fall}/${NAME}.out ${ZIEL}/${NAME}.out
    RESULT_VARIABLE anders)
  if(anders)
    message(FATAL_ERROR "${NAME}: output differs from the expected transcript:\n"
      "  diff -u ${fall}/${NAME}.out ${ZIEL}/${NAME}.out\n"
      "(scripts/update-golden regenerates it after a reviewed change)")
  endif()
endif()
