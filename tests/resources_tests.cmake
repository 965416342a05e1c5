# Resources: byte streams, AML meshes, JPEG pictures and the texture bank.

add_library(resources_test_files STATIC unit/resources/resource_test_files.cpp)
target_link_libraries(resources_test_files PUBLIC lumivaha_resources GTest::gtest)
target_include_directories(resources_test_files PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/unit/resources)

add_executable(resources_unit_tests
  unit/resources/aml_malformed_test.cpp
  unit/resources/aml_test.cpp
  unit/resources/byte_stream_test.cpp
  unit/resources/jpeg_reader_test.cpp
)
target_link_libraries(resources_unit_tests PRIVATE resources_test_files GTest::gtest_main)
gtest_discover_tests(resources_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

add_executable(resources_gl_tests
  gl/gl_test_context.cpp
  gl/resources/mesh_draw_test.cpp
  gl/resources/picture_upload_test.cpp
  gl/resources/texture_bank_test.cpp
  gl/resources/texture_probe.cpp
)
target_link_libraries(resources_gl_tests PRIVATE
  resources_test_files lumivaha_platform_sdl GTest::gtest_main)
target_include_directories(resources_gl_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
gtest_discover_tests(resources_gl_tests PROPERTIES LABELS gl DISCOVERY_TIMEOUT 30)
