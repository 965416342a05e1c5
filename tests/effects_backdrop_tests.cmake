# The backdrops, title cards and feedback blur.

add_executable(effects_backdrop_unit_tests
  unit/effects/backdrops/effect_choices_test.cpp
)
target_link_libraries(effects_backdrop_unit_tests PRIVATE
  lumivaha_effects lumivaha_test_support GTest::gtest_main)
gtest_discover_tests(effects_backdrop_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

add_executable(effects_backdrop_gl_tests
  gl/effects/backdrops/draw_context_test.cpp
  gl/effects/backdrops/effect_gl_fixture.cpp
  gl/effects/backdrops/feedback_blur_test.cpp
  gl/effects/backdrops/pulse_backdrop_test.cpp
  gl/effects/backdrops/spiral_backdrop_test.cpp
  gl/effects/backdrops/streak_backdrop_test.cpp
  gl/effects/backdrops/title_cards_test.cpp
)
target_link_libraries(effects_backdrop_gl_tests PRIVATE
  lumivaha_gl_test_support lumivaha_effects PkgConfig::GLU GTest::gtest_main)
gtest_discover_tests(effects_backdrop_gl_tests PROPERTIES LABELS gl DISCOVERY_TIMEOUT 30)
