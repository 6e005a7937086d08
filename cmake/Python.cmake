# Finds Python for the whole build: the interpreter, which runs the tests'
# scripts, and what the Python package is built with, its development files
# and Debian's pybind11. Sets VORNEL_PYTHON_FOUND when all are there.
#
# The interpreter is the system's, whose pybind11, pytest and mypy Debian
# packages, unless Python3_EXECUTABLE names another (pip install . names the
# one that runs it).
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The Python interpreter")
endif()
find_package(Python3 COMPONENTS Interpreter Development.Module QUIET)
if(Python3_Development.Module_FOUND)
  find_package(pybind11 2.6 CONFIG QUIET)
endif()
if(Python3_Development.Module_FOUND AND pybind11_FOUND)
  set(VORNEL_PYTHON_FOUND ON)
else()
  set(VORNEL_PYTHON_FOUND OFF)
  message(STATUS "Python's development files or pybind11 not found "
                 "(scripts/deps.sh installs them): no Python package")
endif()
