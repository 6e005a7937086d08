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

set(_elf_checks bash ${CMAKE_CURRENT_SOURCE_DIR}/elf_checks.sh)
add_test(NAME elf.run_paths_of_the_build_tree_reach_no_working_or_link_only_folder
         COMMAND ${_elf_checks} run-paths ${PROJECT_BINARY_DIR})
set_tests_properties(elf.run_paths_of_the_build_tree_reach_no_working_or_link_only_folder
                     PROPERTIES LABELS elf)

# The tools directory is added after this one, so its targets are named
# ahead of their creation.
if(NOT VORNEL_BUILD_TOOLS)
  return()
endif()
if(Python3_Interpreter_FOUND)
  add_test(NAME tool.vornel_path
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tool_test.py
            $<TARGET_FILE:vornel-path>)
  set_tests_properties(tool.vornel_path PROPERTIES LABELS program TIMEOUT 300)
else()
  message(WARNING "python3 not found (scripts/deps.sh installs it): the vornel-path test is left out")
endif()
add_test(NAME tool.starts_beside_a_decoy_unwinder_without_loading_it
         COMMAND ${CMAKE_COMMAND} -E env CC=${CMAKE_C_COMPILER}
                 ${_elf_checks} decoy b $<TARGET_FILE:vornel-path> normal a/../b)
# The checked buffer functions need the optimiser, which a Debug build leaves
# off; clang++ 14 calls none of this C library's, checking inline or not at all.
set(_unchecked $<CONFIG:Debug>)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(_unchecked 1)
endif()
add_test(NAME tool.is_hardened COMMAND ${_elf_checks} hardened $<TARGET_FILE:vornel-path>
         $<${_unchecked}:--unchecked-buffers>)
set_tests_properties(tool.starts_beside_a_decoy_unwinder_without_loading_it tool.is_hardened
                     PROPERTIES LABELS program)
if(VORNEL_INSTALL)
  add_test(NAME package.install COMMAND ${_package_test} install ${_package_args})
  add_test(NAME package.deb_and_tarball COMMAND ${_package_test} packages ${_package_args})
  set_tests_properties(package.install package.deb_and_tarball PROPERTIES
    LABELS program TIMEOUT 600)
endif()
