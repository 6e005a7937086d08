# Tests that run programs rather than test binaries: a consumer that adds
# the source tree with add_subdirectory, vornel-path end to end, and an
# install into a temporary prefix with consumers built against it. They
# carry the label program: instrumented trees leave them out.

# The consumer builds its own copy of the library (a debug build, for
# speed) and must bind that copy, found through its stand-ins.
add_test(NAME package.add_subdirectory
  COMMAND ${CMAKE_CTEST_COMMAND} --build-and-test
          ${CMAKE_CURRENT_SOURCE_DIR}/add_subdirectory
          ${CMAKE_CURRENT_BINARY_DIR}/add_subdirectory
          --build-generator ${CMAKE_GENERATOR}
          --build-makeprogram ${CMAKE_MAKE_PROGRAM}
          --build-options -DVORNEL_SOURCE_DIR=${PROJECT_SOURCE_DIR}
                          -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}
                          -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
                          -DCMAKE_BUILD_TYPE=Debug
          --test-command ${CMAKE_COMMAND} -E env
            LD_LIBRARY_PATH=${CMAKE_CURRENT_BINARY_DIR}/add_subdirectory/vornel/stand-ins
            ${CMAKE_CURRENT_BINARY_DIR}/add_subdirectory/vornel-example)
set_tests_properties(package.add_subdirectory PROPERTIES
  LABELS program
  PASS_REGULAR_EXPRESSION
    "normal: +/usr/include/fs_path\n.*library: +[^\n]*/add_subdirectory/vornel/libvornel\.so\n"
  TIMEOUT 600)

# The tools directory is added after this one, so its target is named
# ahead of its creation.
if(NOT VORNEL_BUILD_TOOLS OR NOT EXISTS ${PROJECT_SOURCE_DIR}/tools/CMakeLists.txt)
  return()
endif()
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME tool.vornel_path
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tool_test.py
            $<TARGET_FILE:vornel-path> $<TARGET_FILE:vornel>)
  set_tests_properties(tool.vornel_path PROPERTIES LABELS program TIMEOUT 300)
else()
  message(WARNING "python3 not found (scripts/deps.sh installs it): the vornel-path test is left out")
endif()
add_test(NAME install.package
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh
          ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR} ${VORNEL_STAND_IN_DIR})
set_tests_properties(install.package PROPERTIES LABELS program TIMEOUT 600)
