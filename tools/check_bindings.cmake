# Fails the link of a program that has the path operations compiled in but
# left a path name for the loader to bind: the system runtime defines the
# same names, and the loader would bind that name there.
# Usage: cmake -DNM=nm -DFILE=program -P check_bindings.cmake
cmake_policy(VERSION 3.20)
execute_process(COMMAND ${NM} -D --undefined-only ${FILE}
  OUTPUT_VARIABLE references RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${FILE}")
endif()
string(REGEX MATCHALL "[^ \n]*St10filesystem[^\n]*" misbound "${references}")
if(misbound)
  file(REMOVE ${FILE})
  string(REPLACE ";" "\n" misbound "${misbound}")
  message(FATAL_ERROR "${FILE} leaves path names to the loader:\n${misbound}")
endif()
