# The Windows program under Wine: scripts/windows builds it, its zip and its installer into
# build-windows/ with this build's data set; every test of the program runs on a copy of one Wine
# prefix, on an X screen of its own. The Windows programs that only tests run (the MP3 decoder
# against the native one) are built in the same tree afterwards. Only where mingw-w64 and Wine
# are installed.
find_program(MINGW_CXX_PROGRAM x86_64-w64-mingw32-g++-posix)
find_program(WINE_PROGRAM wine)
find_program(WINESERVER_PROGRAM wineserver)
if(NOT MINGW_CXX_PROGRAM OR NOT WINE_PROGRAM OR NOT WINESERVER_PROGRAM)
  return()
endif()

set(windows_build ${PROJECT_SOURCE_DIR}/build-windows)
add_test(NAME windows_build COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows)
# windows_run: the program and the Wine prefix, which the two make side by side.
set_tests_properties(windows_build PROPERTIES LABELS e2e TIMEOUT 1500
  FIXTURES_SETUP "windows_program;windows_run"
  ENVIRONMENT "LUMIVAHA_NATIVE_BUILD=${CMAKE_BINARY_DIR};LUMIVAHA_WERROR=${LUMIVAHA_WERROR}")
add_test(NAME windows_test_programs
  COMMAND ${CMAKE_COMMAND} --build ${windows_build} --target acm_decoder_check)
set_tests_properties(windows_test_programs PROPERTIES LABELS e2e TIMEOUT 900
  FIXTURES_REQUIRED windows_program FIXTURES_SETUP windows_test_programs)

set(wine_prefix ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix)
add_test(NAME wine_prefix
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows/make_wine_prefix.sh ${wine_prefix})
set_tests_properties(wine_prefix PROPERTIES LABELS e2e TIMEOUT 300 FIXTURES_SETUP windows_run)

add_test(NAME windows_imports
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/e2e/windows/check_imports.sh
          ${windows_build}/bin/lumivaha.exe)
set_tests_properties(windows_imports PROPERTIES LABELS e2e FIXTURES_REQUIRED windows_program)

add_executable(windows_e2e_tests
  e2e/windows/windows_e2e_test.cpp
  e2e/pulse_server.cpp
  e2e/x_session.cpp
)
target_include_directories(windows_e2e_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(windows_e2e_tests PRIVATE X11::X11 lumivaha_test_support GTest::gtest_main)
target_compile_definitions(windows_e2e_tests PRIVATE
  LUMIVAHA_WINDOWS_BUILD="${windows_build}"
  LUMIVAHA_WINE_PREFIX="${wine_prefix}"
  LUMIVAHA_VERSION="${PROJECT_VERSION}")
gtest_discover_tests(windows_e2e_tests DISCOVERY_TIMEOUT 30
  PROPERTIES LABELS e2e TIMEOUT 300 FIXTURES_REQUIRED windows_run)

add_executable(windows_tests windows/acm_decoder_test.cpp)
target_link_libraries(windows_tests PRIVATE sound_test_support GTest::gtest_main)
target_compile_definitions(windows_tests PRIVATE
  LUMIVAHA_WINE="${WINE_PROGRAM}" LUMIVAHA_WINESERVER="${WINESERVER_PROGRAM}"
  LUMIVAHA_ACM_DECODER_CHECK="${windows_build}/tests/acm_decoder_check.exe"
  LUMIVAHA_DATA_PARENT="${CMAKE_BINARY_DIR}/bin")
gtest_discover_tests(windows_tests PROPERTIES LABELS e2e TIMEOUT 300
  FIXTURES_REQUIRED windows_test_programs DISCOVERY_TIMEOUT 30)
