# Tests of `vela controller` and its client: the client against a scripted
# controller, end-to-end runs, power loss, chaos, and the front panel (JSON
# and headless Chromium). Included from apps/CMakeLists.txt.
if(NOT VELA_M32)
  find_package(GTest REQUIRED)
  file(GLOB VELA_CONTROLLER_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  add_executable(vela_controller_tests ${VELA_CONTROLLER_TEST_SOURCES})
  target_include_directories(vela_controller_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(vela_controller_tests PRIVATE vela_tool_lib GTest::gtest GTest::gtest_main
    nlohmann_json::nlohmann_json PkgConfig::HTTPLIB)
  target_compile_definitions(vela_controller_tests PRIVATE VELA_TOOL="$<TARGET_FILE:vela_tool>"
    VELA_EXAMPLES="${PROJECT_SOURCE_DIR}/examples")
  add_dependencies(vela_controller_tests vela_tool)
  include(GoogleTest)
  gtest_discover_tests(vela_controller_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  # The page in headless Chromium; Debian's Selenium belongs to Debian's
  # interpreter. The screenshot is the one docs/controller.md shows.
  add_test(NAME controller.panel_browser COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/panel_browser_test.py
    --vela $<TARGET_FILE:vela_tool> --screenshot ${CMAKE_BINARY_DIR}/panel.png)
  set_tests_properties(controller.panel_browser PROPERTIES TIMEOUT 300)
endif()
