# The Python package's tests, run by pytest with the interpreter the module
# is built for, against the module in the build tree: the operations' rules,
# text in and out, the module's isolation from other libraries of the same
# names (with a decoy that serves every path name), and agreement with the
# library and with vornel-path on random paths; and mypy's stubtest, which
# holds the type stubs to the module's own signatures.
if(NOT VORNEL_BUILD_PYTHON)
  return()
endif()
execute_process(COMMAND ${Python3_EXECUTABLE} -c "import pytest"
                RESULT_VARIABLE _no_pytest OUTPUT_QUIET ERROR_QUIET)
if(_no_pytest)
  message(WARNING "pytest not found for ${Python3_EXECUTABLE} (scripts/deps.sh installs "
                  "python3-pytest): the Python tests are left out")
  return()
endif()

set(_names "")
foreach(_name ${VORNEL_EXPORTED_NAMES})
  if(_name MATCHES "St10filesystem")
    string(APPEND _names "DECOY(${_name})\n")
  endif()
endforeach()
vornel_write_if_changed(${CMAKE_CURRENT_BINARY_DIR}/python/decoy_names.inc "${_names}")
add_library(vornel_python_decoy SHARED python/decoy.c)
target_include_directories(vornel_python_decoy PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/python)

set(_env PYTHONPATH=$<TARGET_FILE_DIR:vornel_python>/..
         VORNEL_DECOY=$<TARGET_FILE:vornel_python_decoy>)
if(VORNEL_BUILD_TOOLS)
  list(APPEND _env VORNEL_PATH_TOOL=$<TARGET_FILE:vornel-path>)
endif()
foreach(_file operations text isolation agreement)
  add_test(NAME python.${_file}
    COMMAND ${CMAKE_COMMAND} -E env ${_env}
            ${Python3_EXECUTABLE} -m pytest -q -p no:cacheprovider
            ${CMAKE_CURRENT_SOURCE_DIR}/python/test_${_file}.py)
  set_tests_properties(python.${_file} PROPERTIES LABELS python TIMEOUT 300)
endforeach()

execute_process(COMMAND ${Python3_EXECUTABLE} -c "import mypy.stubtest"
                RESULT_VARIABLE _no_mypy OUTPUT_QUIET ERROR_QUIET)
if(_no_mypy)
  message(WARNING "mypy not found for ${Python3_EXECUTABLE} (scripts/deps.sh installs "
                  "python3-mypy): the type stubs are left unchecked")
else()
  add_test(NAME python.stubs
    COMMAND ${CMAKE_COMMAND} -E env ${_env} ${Python3_EXECUTABLE} -m mypy.stubtest vornel
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(python.stubs PROPERTIES LABELS python TIMEOUT 120)
endif()
