# Tests that run programs rather than test binaries: vornel-path end to end,
# and the package in its three routes (add_subdirectory, an install into a
# temporary prefix, the .deb and the tarball), each building and running the
# example consumer. They carry the label program: instrumented trees leave
# them out.

set(_package_test ${CMAKE_COMMAND} -E env CC=${CMAKE_C_COMPILER} CXX=${CMAKE_CXX_COMPILER}
    bash ${CMAKE_CURRENT_SOURCE_DIR}/package_test.sh)
set(_package_args ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
# The parent project builds a copy of the library of its own.
add_test(NAME package.add_subdirectory COMMAND ${_package_test} subdirectory ${_package_args})
set_tests_properties(package.add_subdirectory PROPERTIES LABELS program TIMEOUT 600)

# The tools directory is added after this one, so its targets are named
# ahead of their creation.
if(NOT VORNEL_BUILD_TOOLS)
  return()
endif()
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME tool.vornel_path
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tool_test.py
            $<TARGET_FILE:vornel-path>)
  set_tests_properties(tool.vornel_path PROPERTIES LABELS program TIMEOUT 300)
else()
  message(WARNING "python3 not found (scripts/deps.sh installs it): the vornel-path test is left out")
endif()
if(VORNEL_INSTALL)
  add_test(NAME package.install COMMAND ${_package_test} install ${_package_args})
  add_test(NAME package.deb_and_tarball COMMAND ${_package_test} packages ${_package_args})
  set_tests_properties(package.install package.deb_and_tarball PROPERTIES
    LABELS program TIMEOUT 600)
endif()
