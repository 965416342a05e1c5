# The sound system's tests: decoding, offline playback, the SDL devices, the fatal path. Every MP3
# they use is encoded in the test with the tools' MP3 encoder.

add_library(sound_test_support STATIC
  unit/sound/mp3_test_files.cpp
  unit/sound/sound_test_support.cpp
)
target_include_directories(sound_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/unit/sound)
target_link_libraries(sound_test_support PUBLIC lumivaha_formats lumivaha_sound lumivaha_test_support)

add_executable(sound_tests
  unit/sound/mp3_encoder_tag_test.cpp
  unit/sound/sound_decoder_test.cpp
  unit/sound/sound_device_test.cpp
  unit/sound/sound_fatal_test.cpp
  unit/sound/sound_heard_clock_test.cpp
  unit/sound/sound_mixer_test.cpp
  unit/sound/sound_playback_test.cpp
  unit/sound/sound_restart_test.cpp
  unit/sound/sound_sample_buffer_test.cpp
  unit/sound/sound_wav_test.cpp
)
# The encoder-tag tests decode without trimming, as some browsers do.
pkg_check_modules(MPG123_UNTRIMMED REQUIRED IMPORTED_TARGET libmpg123)
target_link_libraries(sound_tests PRIVATE
  sound_test_support PkgConfig::SDL2 PkgConfig::MPG123_UNTRIMMED GTest::gtest_main)
# Regression inputs that fuzzing found live in the fuzz corpus.
target_compile_definitions(sound_tests PRIVATE
  LUMIVAHA_MP3_CORPUS="${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/mp3")
gtest_discover_tests(sound_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 30)

# Decoding speed: a build target to run by hand, not a test.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(sound_bench bench/sound/sound_decode_bench.cpp)
  target_link_libraries(sound_bench PRIVATE sound_test_support benchmark::benchmark)
endif()
