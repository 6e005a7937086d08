# Fails the link of a program that has the path operations compiled in unless
# every path name in it is our own: none is left for the loader to bind (the
# system runtime exports the same names, and the loader would bind them
# there), and every one it defines comes from the library's objects or the
# program's own, none from the runtime's static archive.
# Usage: cmake -DNM=nm -DFILE=program -DOBJECTS=a.o:b.o:... -P check_bindings.cmake
cmake_policy(VERSION 3.20)

function(path_names out)
  execute_process(COMMAND ${NM} ${ARGN} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} ${ARGN} failed")
  endif()
  string(REGEX MATCHALL "[^ \n]*St10filesystem[^ \n]*" names "${listing}")
  list(REMOVE_DUPLICATES names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

function(refuse why names)
  file(REMOVE ${FILE})
  string(REPLACE ";" "\n" names "${names}")
  message(FATAL_ERROR "${FILE} ${why}:\n${names}")
endfunction()

path_names(misbound -D --undefined-only ${FILE})
if(misbound)
  refuse("leaves path names to the loader" "${misbound}")
endif()

string(REPLACE ":" ";" objects "${OBJECTS}")
path_names(ours --defined-only ${objects})
path_names(defined --defined-only ${FILE})
list(REMOVE_ITEM defined ${ours})
if(defined)
  refuse("defines path names that none of its own objects does" "${defined}")
endif()
