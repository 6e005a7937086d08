# Fails the link of a program that took any path name from the system
# runtime: a name that libvornel.so did not define at link time is resolved
# against the runtime, which exports the same names under version tags.
# Usage: cmake -DNM=nm -DFILE=program -P check_bindings.cmake
execute_process(COMMAND ${NM} -D --undefined-only ${FILE}
  OUTPUT_VARIABLE references RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${FILE}")
endif()
string(REGEX MATCHALL "[^\n]*10filesystem[^\n]*@GLIBCXX[^\n]*" misbound "${references}")
if(misbound)
  file(REMOVE ${FILE})
  string(REPLACE ";" "\n" misbound "${misbound}")
  message(FATAL_ERROR "${FILE} binds path names to the system runtime, "
    "not libvornel.so:\n${misbound}")
endif()
