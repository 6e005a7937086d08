# The documentation's answers against the built code: every console example
# of the README and docs/ against vornel-path, every Python session against
# the Python package, and every row of the header's example tables against
# the library, from rows written out of the header at build time. It runs
# programs, so instrumented trees leave it out.
if(NOT VORNEL_BUILD_TOOLS)
  return()
endif()
if(NOT Python3_Interpreter_FOUND)
  message(WARNING "python3 not found (scripts/deps.sh installs it): the docs test is left out")
  return()
endif()

set(_rows ${CMAKE_CURRENT_BINARY_DIR}/docs_rows.inc)
add_custom_command(OUTPUT ${_rows}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs_test.py rows
          ${PROJECT_SOURCE_DIR}/include/fs_path ${_rows}
  DEPENDS ${PROJECT_SOURCE_DIR}/include/fs_path ${CMAKE_CURRENT_SOURCE_DIR}/docs_test.py
  VERBATIM)
add_executable(docs_rows_test docs_rows_test.cc ${_rows})
target_include_directories(docs_rows_test PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
target_compile_options(docs_rows_test PRIVATE ${VORNEL_WARNINGS} ${VORNEL_TEST_OPTIONS})
target_link_libraries(docs_rows_test PRIVATE vornel vornel_stand_ins vornel_binding_guard)

# The Python examples run against the module in the build tree.
set(_env "")
if(VORNEL_BUILD_PYTHON)
  set(_env PYTHONPATH=$<TARGET_FILE_DIR:vornel_python>/..)
endif()
add_test(NAME docs.examples_give_the_answers_shown
  COMMAND ${CMAKE_COMMAND} -E env ${_env} ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs_test.py run
          ${PROJECT_SOURCE_DIR} $<TARGET_FILE:vornel-path> $<TARGET_FILE:docs_rows_test>)
set_tests_properties(docs.examples_give_the_answers_shown PROPERTIES
  LABELS "docs;program" TIMEOUT 120)
