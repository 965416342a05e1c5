# The foreground effects of the rotation and the water surface: mesh showcase, voxel growth,
# picture strips, water ripple.

add_library(foreground_test_support STATIC unit/effects/foreground/showcase_files.cpp)
target_include_directories(foreground_test_support PUBLIC
  ${CMAKE_CURRENT_SOURCE_DIR}/unit/effects/foreground)
target_link_libraries(foreground_test_support PUBLIC resources_test_files lumivaha_effects)

add_executable(effects_foreground_unit_tests
  unit/effects/foreground/mesh_showcase_test.cpp
  unit/effects/foreground/picture_strips_test.cpp
  unit/effects/foreground/voxel_growth_test.cpp
  unit/effects/foreground/water_ripple_test.cpp
)
target_link_libraries(effects_foreground_unit_tests PRIVATE
  foreground_test_support GTest::gtest_main)
gtest_discover_tests(effects_foreground_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

add_executable(effects_foreground_gl_tests
  gl/effects/foreground/foreground_gl_support.cpp
  gl/effects/foreground/mesh_showcase_gl_test.cpp
  gl/effects/foreground/picture_strips_gl_test.cpp
  gl/effects/foreground/voxel_growth_gl_test.cpp
  gl/effects/foreground/water_ripple_gl_test.cpp
)
target_include_directories(effects_foreground_gl_tests PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/gl/effects/foreground)
target_link_libraries(effects_foreground_gl_tests PRIVATE
  foreground_test_support lumivaha_gl_test_support PkgConfig::GLU GTest::gtest_main)
gtest_discover_tests(effects_foreground_gl_tests PROPERTIES LABELS gl DISCOVERY_TIMEOUT 30)

# Draw costs per frame: a build target to run by hand under a display, not a test.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(effects_foreground_bench
    gl/effects/foreground/foreground_gl_support.cpp
    gl/effects/foreground/foreground_bench.cpp
  )
  target_include_directories(effects_foreground_bench PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/gl/effects/foreground)
  target_link_libraries(effects_foreground_bench PRIVATE
    foreground_test_support lumivaha_gl_test_support PkgConfig::GLU GTest::gtest
    benchmark::benchmark)
endif()

# The documentation's pictures of the foregrounds, from a built data set: run by hand.
add_executable(foreground_snapshots gl/effects/foreground/foreground_snapshots.cpp)
target_link_libraries(foreground_snapshots PRIVATE
  lumivaha_effects lumivaha_formats lumivaha_gl_test_support PkgConfig::GLU)
