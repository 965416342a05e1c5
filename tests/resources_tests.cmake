# Resources: byte streams, AML meshes, JPEG pictures and the texture bank.

add_library(resources_test_files STATIC unit/resources/resource_test_files.cpp)
target_link_libraries(resources_test_files PUBLIC
  lumivaha_formats lumivaha_resources lumivaha_test_support GTest::gtest)
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
  gl/resources/mesh_draw_test.cpp
  gl/resources/picture_upload_test.cpp
  gl/resources/texture_bank_test.cpp
  gl/resources/texture_probe.cpp
)
target_link_libraries(resources_gl_tests PRIVATE
  resources_test_files lumivaha_gl_test_support GTest::gtest_main)
gtest_discover_tests(resources_gl_tests PROPERTIES LABELS gl DISCOVERY_TIMEOUT 30)

# libFuzzer targets for the AML and JPEG loaders: a clang sub-build in fuzz/ of the build tree,
# made only when clang can build fuzzers here.
find_program(LUMIVAHA_CLANGXX NAMES clang++ clang++-14)
if(LUMIVAHA_CLANGXX)
  set(fuzz_probe ${CMAKE_CURRENT_BINARY_DIR}/fuzz_probe.cpp)
  file(WRITE ${fuzz_probe}
    "#include <cstddef>\n#include <cstdint>\n"
    "extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n")
  execute_process(
    COMMAND ${LUMIVAHA_CLANGXX} -fsanitize=fuzzer,address,undefined ${fuzz_probe}
            -o ${CMAKE_CURRENT_BINARY_DIR}/fuzz_probe
    RESULT_VARIABLE fuzz_probe_result OUTPUT_QUIET ERROR_QUIET)
endif()
if(LUMIVAHA_CLANGXX AND fuzz_probe_result EQUAL 0)
  include(ExternalProject)
  set(fuzz_build ${CMAKE_BINARY_DIR}/fuzz)
  ExternalProject_Add(resources_fuzzers
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/fuzz
    BINARY_DIR ${fuzz_build}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${LUMIVAHA_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  foreach(format aml jpeg)
    add_test(NAME resources_fuzz.${format}
      COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/run_fuzzer.sh ${fuzz_build}/${format}_fuzz
              ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${format} ${fuzz_build}/run_${format} 30)
    set_tests_properties(resources_fuzz.${format} PROPERTIES LABELS fuzz TIMEOUT 120)
  endforeach()
else()
  message(STATUS "clang with libFuzzer not found: no fuzz targets")
endif()
