# The Python package's tests, run by pytest with the interpreter the module
# is built for, against the module in the build tree: the operations' rules,
# text in and out, the module's isolation from other libraries of the same
# names (with a decoy that serves every path name), and agreement with the
# library and with vornel-path on random paths; and mypy's stubtest, which
# holds the type stubs to the module's own signatures.
if(NOT VORNEL_BUILD_PYTHON)
  return()
endif()

# Whether the interpreter has MODULE, which the Debian package named warns of.
function(vornel_python_has variable module package)
  execute_process(COMMAND ${Python3_EXECUTABLE} -c "import ${module}"
                  RESULT_VARIABLE _missing OUTPUT_QUIET ERROR_QUIET)
  if(_missing)
    message(WARNING "${module} not found for ${Python3_EXECUTABLE} (scripts/deps.sh "
                    "installs ${package}): its Python tests are left out")
    set(${variable} OFF PARENT_SCOPE)
  else()
    set(${variable} ON PARENT_SCOPE)
  endif()
endfunction()

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
set(_tests "")
vornel_python_has(_pytest pytest python3-pytest)
if(_pytest)
  foreach(_file operations text isolation agreement)
    list(APPEND _tests python.${_file})
    add_test(NAME python.${_file}
      COMMAND ${CMAKE_COMMAND} -E env ${_env} ${Python3_EXECUTABLE} -m pytest -q
              -p no:cacheprovider ${CMAKE_CURRENT_SOURCE_DIR}/python/test_${_file}.py)
  endforeach()
endif()
vornel_python_has(_mypy mypy.stubtest python3-mypy)
if(_mypy)
  list(APPEND _tests python.stubs)
  add_test(NAME python.stubs
    COMMAND ${CMAKE_COMMAND} -E env ${_env} ${Python3_EXECUTABLE} -m mypy.stubtest vornel
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endif()
if(_tests)
  set_tests_properties(${_tests} PROPERTIES LABELS python TIMEOUT 300)
endif()
