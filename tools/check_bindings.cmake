# Fails the link of a program that left a path name for another library than
# libvornel.so to define: a name outside the exported list, or one that the
# linker resolved against the system runtime, which tags it with a version.
# Usage: cmake -DNM=nm -DFILE=program -DEXPORTS=src/shell/exports.txt -P check_bindings.cmake
cmake_policy(VERSION 3.20)
execute_process(COMMAND ${NM} -D --undefined-only ${FILE}
  OUTPUT_VARIABLE references RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${FILE}")
endif()
file(STRINGS ${EXPORTS} exported REGEX "^[^#]")
string(REGEX MATCHALL "[^ \n]*St10filesystem[^\n]*" references "${references}")
set(misbound "")
foreach(name ${references})
  if(NOT name IN_LIST exported)
    list(APPEND misbound ${name})
  endif()
endforeach()
if(misbound)
  file(REMOVE ${FILE})
  string(REPLACE ";" "\n" misbound "${misbound}")
  message(FATAL_ERROR "${FILE} binds path names outside libvornel.so:\n${misbound}")
endif()
