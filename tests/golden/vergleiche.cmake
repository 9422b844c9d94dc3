# Runs the tool on one example (run --trace, check, plot) from the source
# directory, so that the outputs hold only relative paths, and compares the
# results with the expected files; with -DUPDATE=ON writes them instead.
# Each text output ends with the tool's exit status.
set(erwartet ${QUELLE}/tests/golden)
file(MAKE_DIRECTORY ${ZIEL})

function(lauf art)
  execute_process(COMMAND ${TOOL} ${ARGN} WORKING_DIRECTORY ${QUELLE}
    OUTPUT_VARIABLE aus ERROR_VARIABLE fehler RESULT_VARIABLE status)
  file(WRITE ${ZIEL}/${NAME}.${art} "${aus}${fehler}exit status ${status}\n")
endfunction()

lauf(trace run --trace examples/${NAME}.vela)
lauf(check check examples/${NAME}.vela)
execute_process(COMMAND ${TOOL} plot examples/${NAME}.vela -o ${ZIEL}/${NAME}.svg
  WORKING_DIRECTORY ${QUELLE} OUTPUT_QUIET ERROR_QUIET)

find_program(XMLLINT xmllint)
if(XMLLINT)
  execute_process(COMMAND ${XMLLINT} --noout ${ZIEL}/${NAME}.svg RESULT_VARIABLE ungueltig)
  if(ungueltig)
    message(FATAL_ERROR "${NAME}.svg is not well-formed XML")
  endif()
endif()

set(abweichung "")
foreach(art trace check svg)
  if(UPDATE)
    file(COPY_FILE ${ZIEL}/${NAME}.${art} ${erwartet}/${NAME}.${art})
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${erwartet}/${NAME}.${art} ${ZIEL}/${NAME}.${art}
      RESULT_VARIABLE anders)
    if(anders)
      string(APPEND abweichung "  diff -u ${erwartet}/${NAME}.${art} ${ZIEL}/${NAME}.${art}\n")
    endif()
  endif()
endforeach()
if(abweichung)
  message(FATAL_ERROR "${NAME}: output differs from the expected files:\n${abweichung}"
    "(scripts/update-golden regenerates them after a reviewed change)")
endif()
