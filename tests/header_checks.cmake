# Compile cases of <fs_path>, labelled compile so that instrumented trees leave
# them out: uses that must not compile (a and b merely convert to path), a
# consumer of every form under every warning, and a user's macros.
set(_cc ${CMAKE_CXX_COMPILER} -fsyntax-only -I${PROJECT_SOURCE_DIR}/include)
set(_snippet ${CMAKE_CURRENT_LIST_DIR}/header_snippet.cc)
set(_accepted "swap(p, q), \"x\" / p == q / \"x\" && \"x\" < p")
set(_rejected a/b a==b a!=b a<b a<=b a>b a>=b "path(n)")
add_test(NAME header.accepts_paths_swapped_divided_and_compared
         COMMAND ${_cc} -std=c++17 "-DVORNEL_USE=${_accepted}" ${_snippet})
# C++20 asks the same of requires-expressions, in one compile.
set(_uses "#include \"${_snippet}\"\nint main() {}\nstatic_assert(VORNEL_USES(${_accepted}));\n")
foreach(_use ${_rejected})
  add_test(NAME header.rejects_${_use} COMMAND ${_cc} -std=c++17 -DVORNEL_USE=${_use} ${_snippet})
  set_tests_properties(header.rejects_${_use} PROPERTIES WILL_FAIL TRUE)
endforeach()
foreach(_use ${_rejected} "a<=>b")
  string(APPEND _uses "static_assert(!VORNEL_USES(${_use}), \"${_use} compiles\");\n")
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/header_uses.cc "${_uses}")
add_test(NAME header.cxx20_accepts_and_rejects_the_same_uses
         COMMAND ${_cc} -std=c++20 ${CMAKE_CURRENT_BINARY_DIR}/header_uses.cc)
add_test(NAME header.needs_cxx17 COMMAND ${_cc} -std=c++14 -include fs_path -x c++ /dev/null)
set_tests_properties(header.needs_cxx17 PROPERTIES PASS_REGULAR_EXPRESSION "needs C\\+\\+17"
                     FAIL_REGULAR_EXPRESSION "error:.*error:")

# interface_test uses every form; the header must not warn under any flag,
# clang's -Weverything included, less the reserved names a standard header
# uses and C++98 compatibility. It compiles without exceptions too, where
# no_exceptions_test uses it. Each case runs under g++ and under clang++ (14
# where there is one), whichever is installed.
set(_strict -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wdeprecated -Werror)
set(_everything -Weverything -Wno-reserved-identifier -Wno-c++98-compat-pedantic)
find_program(VORNEL_GXX NAMES g++ DOC "The g++ of the header's warning cases")
find_program(VORNEL_CLANGXX NAMES clang++-14 clang++ DOC "The clang++ of the header's warning cases")
foreach(_found VORNEL_GXX VORNEL_CLANGXX)
  if(NOT ${_found})
    message(STATUS "${${_found}}: no header warning cases for that compiler")
    continue()
  endif()
  get_filename_component(_compiler ${${_found}} NAME)
  foreach(_std 17 20)
    set(_compile ${${_found}} -fsyntax-only -std=c++${_std} -I${PROJECT_SOURCE_DIR}/include)
    add_test(NAME header.no_warnings_${_compiler}_cxx${_std}
             COMMAND ${_compile} ${_strict} ${CMAKE_CURRENT_LIST_DIR}/interface_test.cc)
    add_test(NAME header.compiles_without_exceptions_${_compiler}_cxx${_std}
             COMMAND ${_compile} ${_strict} -fno-exceptions
                     ${CMAKE_CURRENT_LIST_DIR}/no_exceptions_test.cc)
    if(_found STREQUAL "VORNEL_CLANGXX")
      # The test files themselves are not held to it: only the header's lines.
      add_test(NAME header.no_warnings_${_compiler}_everything_cxx${_std}
               COMMAND ${_compile} ${_everything} ${CMAKE_CURRENT_LIST_DIR}/interface_test.cc)
      add_test(NAME header.no_warnings_${_compiler}_everything_without_exceptions_cxx${_std}
               COMMAND ${_compile} ${_everything} -fno-exceptions
                       ${CMAKE_CURRENT_LIST_DIR}/no_exceptions_test.cc)
      set_tests_properties(header.no_warnings_${_compiler}_everything_cxx${_std}
        header.no_warnings_${_compiler}_everything_without_exceptions_cxx${_std}
        PROPERTIES FAIL_REGULAR_EXPRESSION "fs_path:[0-9]+:[0-9]+: warning")
    endif()
  endforeach()
endforeach()

# Every private header of the library compiles as the only include of a
# unit, built as the library's sources are.
file(GLOB_RECURSE _private_headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/*.h)
list(TRANSFORM VORNEL_SOURCE_DEFINITIONS PREPEND -D OUTPUT_VARIABLE _source)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  list(APPEND _source ${VORNEL_CLANG_DIALECT})
endif()
foreach(_header ${_private_headers})
  add_test(NAME header.stands_alone:${_header}
           COMMAND ${_cc} -std=c++17 ${_source} ${VORNEL_WARNINGS} -Werror
                   -include ${PROJECT_SOURCE_DIR}/${_header} -x c++ /dev/null)
endforeach()
if(Python3_Interpreter_FOUND)
  foreach(_std 17 20)
    add_test(NAME header.survives_user_macros_cxx${_std}
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/user_macros.py
                     ${PROJECT_SOURCE_DIR}/include/fs_path
                     ${CMAKE_CURRENT_BINARY_DIR}/user_macros_cxx${_std}.cc ${_cc} -std=c++${_std})
  endforeach()
else()
  message(WARNING "python3 not found (scripts/deps.sh installs it): the user-macro cases are left out")
endif()
get_directory_property(_tests TESTS)
list(FILTER _tests INCLUDE REGEX "^header\\.")
set_tests_properties(${_tests} PROPERTIES LABELS compile)
