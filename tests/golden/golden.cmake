# Golden tests: every example's trace, check report and plot are compared
# with the expected files in this directory, so that any change of
# behaviour shows as a diff. scripts/update-golden regenerates them.
file(GLOB VELA_EXAMPLES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.vela)
foreach(beispiel ${VELA_EXAMPLES})
  get_filename_component(name ${beispiel} NAME_WE)
  add_test(NAME golden.${name}
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:vela_tool> -DQUELLE=${PROJECT_SOURCE_DIR}
      -DNAME=${name} -DZIEL=${CMAKE_BINARY_DIR}/golden
      -P ${CMAKE_CURRENT_LIST_DIR}/vergleiche.cmake)
endforeach()

# The tool's cases: command lines on small programs, each compared as a
# whole transcript (tests/golden/faelle/, see faelle.cmake).
file(GLOB VELA_FAELLE CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/faelle/*.args)
foreach(fall ${VELA_FAELLE})
  get_filename_component(name ${fall} NAME_WE)
  add_test(NAME golden.fall.${name}
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:vela_tool> -DQUELLE=${PROJECT_SOURCE_DIR}
      -DNAME=${name} -DZIEL=${CMAKE_BINARY_DIR}/golden/faelle
      -P ${CMAKE_CURRENT_LIST_DIR}/faelle.cmake)
endforeach()
