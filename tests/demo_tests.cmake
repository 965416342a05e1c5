# The start-up and the frame driver, driven directly with a fake clock and the offline sound output.
add_executable(demo_gl_tests
  gl/demo/frame_driver_test.cpp
  gl/demo/startup_test.cpp
)
target_link_libraries(demo_gl_tests PRIVATE
  lumivaha_demo lumivaha_gl_test_support sound_test_support GTest::gtest_main)
# The start-up reads the generated data set beside the demo.
target_compile_definitions(demo_gl_tests PRIVATE LUMIVAHA_DATA_PARENT="${CMAKE_BINARY_DIR}/bin")
add_dependencies(demo_gl_tests lumivaha_data)
gtest_discover_tests(demo_gl_tests PROPERTIES LABELS gl DISCOVERY_TIMEOUT 30)
