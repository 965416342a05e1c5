# The browser's GL subset: a scenario of GL calls run on Mesa, and its core run under node on
# the same calls, compared number by number. Node's half needs em++ and node, and is left out
# where they are missing.

add_executable(lumivaha_webgl_reference
  webgl/fixed_function_scenario.cpp
  webgl/mesa_reference_main.cpp
  webgl/number_sets.cpp
  webgl/rgba_into_rgb_run.cpp
)
target_link_libraries(lumivaha_webgl_reference PRIVATE lumivaha_gl_test_support PkgConfig::GLU)
set(webgl_reference_file ${CMAKE_CURRENT_BINARY_DIR}/webgl_mesa_reference.json)
add_test(NAME webgl_mesa_reference
  COMMAND lumivaha_webgl_reference ${webgl_reference_file})
set_tests_properties(webgl_mesa_reference PROPERTIES LABELS gl FIXTURES_SETUP webgl_mesa_reference)

# The subset under node and in a browser: em++ builds each program from its sources in one go.
find_program(LUMIVAHA_EMXX em++)
find_program(LUMIVAHA_NODE node)
find_program(LUMIVAHA_CHROMIUM NAMES chromium chromium-browser)
find_package(Python3 COMPONENTS Interpreter)
set(webgl_gl_folder ${LUMIVAHA_SOURCE_ROOT}/platform/web/gl)
file(GLOB webgl_headers CONFIGURE_DEPENDS ${webgl_gl_folder}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/webgl/*.h)
get_target_property(webgl_core_sources lumivaha_webgl_core SOURCES)
list(TRANSFORM webgl_core_sources PREPEND ${webgl_gl_folder}/)
set(webgl_program_flags -std=c++20 -Wall -Wextra -Wpedantic)
if(LUMIVAHA_WERROR)
  list(APPEND webgl_program_flags -Werror)
endif()

# NAME.js in the binary folder, with the core, the GL entry points and the scenario.
function(add_webgl_test_program name)
  cmake_parse_arguments(PARSE_ARGV 1 program "" "" "SOURCES;LINK_FLAGS")
  set(sources ${webgl_core_sources}
    ${webgl_gl_folder}/clear_calls.cpp ${webgl_gl_folder}/gl_entry_points.cpp
    ${webgl_gl_folder}/glu_entry_points.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/webgl/fixed_function_scenario.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/webgl/number_sets.cpp ${program_SOURCES})
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}.js
    COMMAND ${LUMIVAHA_EMXX} ${webgl_program_flags}
      -I${LUMIVAHA_SOURCE_ROOT} -I${CMAKE_CURRENT_SOURCE_DIR} ${sources} ${program_LINK_FLAGS}
      -o ${CMAKE_CURRENT_BINARY_DIR}/${name}.js
    DEPENDS ${sources} ${webgl_headers}
    COMMENT "Building ${name}.js with em++"
    VERBATIM)
  add_custom_target(lumivaha_${name} ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${name}.js)
endfunction()

# Under node: the core, with a recorder in place of WebGL, so no canvas is needed. Node's own
# file system, and the module compiled as it loads rather than fetched.
if(LUMIVAHA_EMXX AND LUMIVAHA_NODE)
  add_webgl_test_program(webgl_core_check
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/webgl/core_check_main.cpp
    LINK_FLAGS -sENVIRONMENT=node -sNODERAWFS=1 -sWASM_ASYNC_COMPILATION=0 -sEXIT_RUNTIME=1)
  add_test(NAME webgl_core_matches_mesa
    COMMAND ${LUMIVAHA_NODE} ${CMAKE_CURRENT_BINARY_DIR}/webgl_core_check.js
      ${webgl_reference_file})
  set_tests_properties(webgl_core_matches_mesa PROPERTIES
    LABELS unit FIXTURES_REQUIRED webgl_mesa_reference)
endif()

# In headless Chromium: the whole subset down to WebGL, drawing and reading back.
if(LUMIVAHA_EMXX AND LUMIVAHA_CHROMIUM AND Python3_Interpreter_FOUND)
  add_webgl_test_program(webgl_browser_check
    SOURCES ${webgl_gl_folder}/fixed_function_instance.cpp ${webgl_gl_folder}/texture_calls.cpp
      ${webgl_gl_folder}/webgl_sink.cpp ${CMAKE_CURRENT_SOURCE_DIR}/webgl/browser_check_main.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/webgl/rgba_into_rgb_run.cpp
    LINK_FLAGS -sENVIRONMENT=web)
  configure_file(webgl/browser_check.html webgl_browser_check.html COPYONLY)
  add_test(NAME webgl_browser_matches_mesa
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/webgl/compare_browser_with_mesa.py
      ${LUMIVAHA_CHROMIUM} ${CMAKE_CURRENT_BINARY_DIR}/webgl_browser_check.html
      ${webgl_reference_file})
  set_tests_properties(webgl_browser_matches_mesa PROPERTIES
    LABELS gl TIMEOUT 300 FIXTURES_REQUIRED webgl_mesa_reference)
endif()
