# Tests that run programs rather than test binaries: vornel-path end to end,
# and an install into a temporary prefix with consumers built against it.
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
  set_tests_properties(tool.vornel_path PROPERTIES TIMEOUT 300)
else()
  message(WARNING "python3 not found (scripts/deps.sh installs it): the vornel-path test is left out")
endif()
add_test(NAME install.package
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh
          ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR} ${VORNEL_STAND_IN_DIR})
set_tests_properties(install.package PROPERTIES TIMEOUT 600)
