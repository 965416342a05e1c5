# Reliability: the real demo against damaged data, missing devices, restarts and signals, every
# run on an X screen of its own; and the MP3 fuzz target beside the resources' ones.
add_library(reliability_e2e_support STATIC
  e2e/pulse_server.cpp
  e2e/x_session.cpp
  e2e/reliability/data_set_copy.cpp
  e2e/reliability/demo_run.cpp
)
target_include_directories(reliability_e2e_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(reliability_e2e_support PUBLIC X11::X11 GTest::gtest lumivaha_test_support)
target_compile_definitions(reliability_e2e_support PUBLIC
  LUMIVAHA_BINARY="$<TARGET_FILE:lumivaha>"
  LUMIVAHA_DATA_DIR="${CMAKE_BINARY_DIR}/bin/data")
add_dependencies(reliability_e2e_support lumivaha lumivaha_data)

# 25 files, each missing, cut to half and overwritten: the three runs of a file go side by side.
add_executable(reliability_bad_data_tests e2e/reliability/bad_data_e2e_test.cpp)
target_link_libraries(reliability_bad_data_tests PRIVATE reliability_e2e_support GTest::gtest_main)
# The data manifest names the files to damage.
target_include_directories(reliability_bad_data_tests PRIVATE ${LUMIVAHA_SOURCE_ROOT})
gtest_discover_tests(reliability_bad_data_tests
  PROPERTIES LABELS e2e TIMEOUT 60 DISCOVERY_TIMEOUT 30)

# Loaded into the demo to note frame ends and loop boundaries (LD_PRELOAD).
add_library(lumivaha_boundary_probe MODULE e2e/reliability/boundary_probe.cpp)
target_link_libraries(lumivaha_boundary_probe PRIVATE ${CMAKE_DL_LIBS})

# Devices, signals and the restart soak. The silent run lasts the demo's whole 103 seconds.
add_executable(reliability_e2e_tests
  e2e/reliability/device_e2e_test.cpp
  e2e/reliability/probe_log.cpp
  e2e/reliability/restart_soak_e2e_test.cpp
  e2e/reliability/screen_state.cpp
  e2e/reliability/signal_e2e_test.cpp
)
target_link_libraries(reliability_e2e_tests PRIVATE reliability_e2e_support GTest::gtest_main)
target_compile_definitions(reliability_e2e_tests PRIVATE
  LUMIVAHA_BOUNDARY_PROBE="$<TARGET_FILE:lumivaha_boundary_probe>")
add_dependencies(reliability_e2e_tests lumivaha_boundary_probe)
gtest_discover_tests(reliability_e2e_tests PROPERTIES LABELS e2e TIMEOUT 240 DISCOVERY_TIMEOUT 30)

# The sanitizer build (CMakePresets.json) also renders the whole demo offline, with a restart,
# and keeps the libraries its programs load mapped until the leak check at exit.
string(FIND "${CMAKE_CXX_FLAGS}" "-fsanitize=address" sanitized)
if(NOT sanitized EQUAL -1)
  # Preloaded into every process of the run, the uninstrumented ones too (ctest, sh, xdotool),
  # so it is built without the sanitizer flags.
  set(keep_loaded_source ${PROJECT_SOURCE_DIR}/scripts/sanitizer/keep_libraries_loaded.c)
  set(keep_loaded_library ${CMAKE_BINARY_DIR}/lib/libkeep_libraries_loaded.so)
  add_custom_command(OUTPUT ${keep_loaded_library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND ${CMAKE_C_COMPILER} -shared -fPIC -O2 -o ${keep_loaded_library} ${keep_loaded_source}
    DEPENDS ${keep_loaded_source}
    VERBATIM)
  add_custom_target(keep_libraries_loaded ALL DEPENDS ${keep_loaded_library})
  # Space at 3 s, F1 at 6 s, then the whole 103 s again; five frames a second still run every
  # second of demo time. The frames and music of the last nine seconds are written.
  set(capture_output ${CMAKE_CURRENT_BINARY_DIR}/sanitized_capture)
  add_test(NAME sanitized_capture.whole_demo_with_a_restart
    COMMAND sh -c "rm -rf \"$1\" && mkdir \"$1\" && exec \"$0\" --fps 5 --seed 20461 --press 3:Space --press 6:F1 --from 100 --frames \"$1/frames\" --wav \"$1/music.wav\""
            $<TARGET_FILE:lumivaha-capture> ${capture_output})
  set_tests_properties(sanitized_capture.whole_demo_with_a_restart PROPERTIES
    LABELS gl TIMEOUT 600 ENVIRONMENT "SDL_VIDEODRIVER=offscreen")
endif()

if(TARGET resources_fuzzers)
  add_test(NAME sound_fuzz.mp3
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/run_fuzzer.sh ${CMAKE_BINARY_DIR}/fuzz/mp3_fuzz
            ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/mp3 ${CMAKE_BINARY_DIR}/fuzz/run_mp3 30)
  set_tests_properties(sound_fuzz.mp3 PROPERTIES LABELS fuzz TIMEOUT 120)
endif()
