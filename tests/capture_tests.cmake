# The capture tool: its pieces (unit), its picture read-back and its frames against the demo's
# own drawing (gl), and the real program on the generated data set (e2e). The programs run with
# SDL's offscreen driver, so they never share a screen with other tests.
pkg_check_modules(CAPTURE_TEST_PNG REQUIRED IMPORTED_TARGET libpng)
add_library(capture_test_support STATIC
  unit/capture/capture_test_files.cpp
  e2e/capture/capture_run.cpp
)
target_include_directories(capture_test_support PUBLIC
  ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/unit/capture
  ${CMAKE_CURRENT_SOURCE_DIR}/e2e/capture)
target_link_libraries(capture_test_support PUBLIC
  PkgConfig::CAPTURE_TEST_PNG lumivaha_sound lumivaha_test_support)
target_compile_definitions(capture_test_support PUBLIC
  LUMIVAHA_CAPTURE="$<TARGET_FILE:lumivaha-capture>"
  LUMIVAHA_DATA_PARENT="${CMAKE_BINARY_DIR}/bin")
add_dependencies(capture_test_support lumivaha-capture lumivaha_data)

add_executable(capture_unit_tests
  unit/capture/bench_statistics_test.cpp
  unit/capture/capture_options_test.cpp
  unit/capture/frame_rate_test.cpp
  unit/capture/output_files_test.cpp
  unit/capture/progress_line_test.cpp
  unit/capture/sound_feed_test.cpp
)
target_link_libraries(capture_unit_tests PRIVATE
  lumivaha_capture capture_test_support GTest::gtest_main)
gtest_discover_tests(capture_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

add_executable(capture_gl_tests
  gl/capture/capture_matches_demo_test.cpp
  gl/capture/picture_readback_test.cpp
)
target_link_libraries(capture_gl_tests PRIVATE
  lumivaha_capture capture_test_support lumivaha_gl_test_support GTest::gtest_main)
gtest_discover_tests(capture_gl_tests PROPERTIES LABELS gl DISCOVERY_TIMEOUT 30)

add_executable(capture_e2e_tests
  e2e/capture/capture_e2e_test.cpp
  e2e/capture/capture_failure_e2e_test.cpp
)
target_link_libraries(capture_e2e_tests PRIVATE capture_test_support GTest::gtest_main)
gtest_discover_tests(capture_e2e_tests PROPERTIES LABELS e2e DISCOVERY_TIMEOUT 30)
