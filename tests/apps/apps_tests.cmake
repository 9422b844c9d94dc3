# Tests of the vela tool's own logic (loading, simulated machine, host
# loop, plot); the built command's runs are golden cases (tests/golden/faelle).
# Included from apps/CMakeLists.txt.
if(NOT VELA_M32)
  find_package(GTest REQUIRED)
  file(GLOB VELA_APPS_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  add_executable(vela_tool_tests ${VELA_APPS_TEST_SOURCES})
  target_include_directories(vela_tool_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(vela_tool_tests PRIVATE vela_tool_lib GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(vela_tool_tests DISCOVERY_TIMEOUT 60)
endif()
