# Reliability: the real demo against damaged data, missing devices, restarts and signals, every
# run on an X screen of its own; and the MP3 fuzz target beside the resources' ones.
add_library(reliability_e2e_support STATIC
  e2e/process.cpp
  e2e/x_session.cpp
  e2e/reliability/data_set_copy.cpp
  e2e/reliability/demo_run.cpp
  e2e/reliability/isolated_x_server.cpp
)
target_include_directories(reliability_e2e_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(reliability_e2e_support PUBLIC X11::X11 GTest::gtest)
target_compile_definitions(reliability_e2e_support PUBLIC
  LUMIVAHA_BINARY="$<TARGET_FILE:lumivaha>"
  LUMIVAHA_DATA_DIR="${CMAKE_BINARY_DIR}/bin/data")
add_dependencies(reliability_e2e_support lumivaha lumivaha_data)

# 25 files, each missing, cut to half and overwritten: the three runs of a file go side by side.
add_executable(reliability_bad_data_tests e2e/reliability/bad_data_e2e_test.cpp)
target_link_libraries(reliability_bad_data_tests PRIVATE reliability_e2e_support GTest::gtest_main)
gtest_discover_tests(reliability_bad_data_tests
  PROPERTIES LABELS e2e TIMEOUT 60 DISCOVERY_TIMEOUT 30)

if(TARGET resources_fuzzers)
  add_test(NAME sound_fuzz.mp3
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/run_fuzzer.sh ${CMAKE_BINARY_DIR}/fuzz/mp3_fuzz
            ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/mp3 ${CMAKE_BINARY_DIR}/fuzz/run_mp3 30)
  set_tests_properties(sound_fuzz.mp3 PROPERTIES LABELS fuzz TIMEOUT 120)
endif()
