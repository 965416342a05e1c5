# The data-set generator: its building blocks, and the data set the build forged into bin/data.

add_executable(forge_unit_tests
  unit/forge/forge_determinism_test.cpp
  unit/forge/forge_mesh_test.cpp
  unit/forge/forge_music_test.cpp
  unit/forge/forge_parts_test.cpp
  unit/forge/forge_picture_test.cpp
  unit/forge/forge_synth_test.cpp
  unit/forge/kick_detector.cpp
)
target_include_directories(forge_unit_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/unit/forge)
target_link_libraries(forge_unit_tests PRIVATE
  lumivaha_forge lumivaha_sound lumivaha_test_support GTest::gtest_main)
target_compile_definitions(forge_unit_tests PRIVATE
  LUMIVAHA_FORGE="$<TARGET_FILE:lumivaha-forge>"
  LUMIVAHA_VERSION="${PROJECT_VERSION}"
  LUMIVAHA_DATA_DIR="${CMAKE_BINARY_DIR}/bin/data")
add_dependencies(forge_unit_tests lumivaha_data)
gtest_discover_tests(forge_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

# The meshes drawn as the showcase draws them, environment-mapped, read back from a real context.
# With LUMIVAHA_DOCS_DIR set, the renders are also written there as PNG files.
add_executable(forge_gl_tests gl/forge/forge_mesh_render_test.cpp)
target_link_libraries(forge_gl_tests PRIVATE
  lumivaha_forge lumivaha_gl_test_support PkgConfig::GLU GTest::gtest_main)
target_compile_definitions(forge_gl_tests PRIVATE LUMIVAHA_DATA_DIR="${CMAKE_BINARY_DIR}/bin/data")
add_dependencies(forge_gl_tests lumivaha_data)
gtest_discover_tests(forge_gl_tests PROPERTIES LABELS gl DISCOVERY_TIMEOUT 30)
