# Uses of <fs_path> that must not compile (a and b merely convert to path).
set(_cc ${CMAKE_CXX_COMPILER} -fsyntax-only -std=c++17 -I${PROJECT_SOURCE_DIR}/include)
set(_snippet ${CMAKE_CURRENT_LIST_DIR}/header_snippet.cc)
add_test(NAME header.accepts_paths_swapped_divided_and_compared
         COMMAND ${_cc} "-DVORNEL_USE=swap(p, q), \"x\" / p == q / \"x\" && \"x\" < p" ${_snippet})
foreach(_use a/b a==b a!=b a<b a<=b a>b a>=b "path(n)")
  add_test(NAME header.rejects_${_use} COMMAND ${_cc} -DVORNEL_USE=${_use} ${_snippet})
  set_tests_properties(header.rejects_${_use} PROPERTIES WILL_FAIL TRUE)
endforeach()
add_test(NAME header.needs_cxx17 COMMAND ${_cc} -std=c++14 -include fs_path -x c++ /dev/null)
set_tests_properties(header.needs_cxx17 PROPERTIES PASS_REGULAR_EXPRESSION "needs C\\+\\+17"
                     FAIL_REGULAR_EXPRESSION "error:.*error:")
