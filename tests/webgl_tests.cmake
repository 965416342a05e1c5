# The browser's GL subset: a scenario of GL calls run on Mesa, and its core run under node on
# the same calls, compared number by number. Node's half needs em++ and node, and is left out
# where they are missing.

add_executable(lumivaha_webgl_reference
  webgl/fixed_function_scenario.cpp
  webgl/mesa_reference_main.cpp
  webgl/number_sets.cpp
)
target_link_libraries(lumivaha_webgl_reference PRIVATE lumivaha_gl_test_support PkgConfig::GLU)
set(webgl_reference_file ${CMAKE_CURRENT_BINARY_DIR}/webgl_mesa_reference.json)
add_test(NAME webgl_mesa_reference
  COMMAND lumivaha_webgl_reference ${webgl_reference_file})
set_tests_properties(webgl_mesa_reference PROPERTIES LABELS gl FIXTURES_SETUP webgl_mesa_reference)

# The core under node: em++ builds it beside the scenario into one program, which needs no
# canvas. The entry points come along so the scenario's calls go through them too.
find_program(LUMIVAHA_EMXX em++)
find_program(LUMIVAHA_NODE node)
if(LUMIVAHA_EMXX AND LUMIVAHA_NODE)
  set(webgl_gl_folder ${LUMIVAHA_SOURCE_ROOT}/platform/web/gl)
  get_target_property(webgl_core_sources lumivaha_webgl_core SOURCES)
  list(TRANSFORM webgl_core_sources PREPEND ${webgl_gl_folder}/)
  set(webgl_check_sources
    ${webgl_core_sources}
    ${webgl_gl_folder}/gl_entry_points.cpp
    ${webgl_gl_folder}/glu_entry_points.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/webgl/core_check_main.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/webgl/fixed_function_scenario.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/webgl/number_sets.cpp
  )
  file(GLOB webgl_check_headers CONFIGURE_DEPENDS
    ${webgl_gl_folder}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/webgl/*.h)
  set(webgl_check_flags -std=c++20 -Wall -Wextra -Wpedantic)
  if(LUMIVAHA_WERROR)
    list(APPEND webgl_check_flags -Werror)
  endif()
  set(webgl_check_program ${CMAKE_CURRENT_BINARY_DIR}/webgl_core_check.js)
  # Node's own file system, and the module compiled as it loads rather than fetched.
  add_custom_command(OUTPUT ${webgl_check_program}
    COMMAND ${LUMIVAHA_EMXX} ${webgl_check_flags}
      -I${LUMIVAHA_SOURCE_ROOT} -I${CMAKE_CURRENT_SOURCE_DIR} ${webgl_check_sources}
      -sENVIRONMENT=node -sNODERAWFS=1 -sWASM_ASYNC_COMPILATION=0 -sEXIT_RUNTIME=1
      -o ${webgl_check_program}
    DEPENDS ${webgl_check_sources} ${webgl_check_headers}
    COMMENT "Building the WebGL subset's core check for node"
    VERBATIM)
  add_custom_target(lumivaha_webgl_core_check ALL DEPENDS ${webgl_check_program})
  add_test(NAME webgl_core_matches_mesa
    COMMAND ${LUMIVAHA_NODE} ${webgl_check_program} ${webgl_reference_file})
  set_tests_properties(webgl_core_matches_mesa PROPERTIES
    LABELS unit FIXTURES_REQUIRED webgl_mesa_reference)
endif()
