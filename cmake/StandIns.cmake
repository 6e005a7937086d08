# Stand-ins for the needed libraries this machine lacks, and the link-time
# libpthread that binds __pthread_key_create at its oldest version. The
# stand-ins are installed only in a folder of the package's own
# (cmake/Install.cmake), where no loader searches for other programs.

set(VORNEL_STAND_IN_DIR ${PROJECT_BINARY_DIR}/stand-ins)
set(VORNEL_LINK_ONLY_DIR ${PROJECT_BINARY_DIR}/link-only)

function(vornel_stand_in target soname)
  add_library(${target} SHARED ${CMAKE_CURRENT_LIST_DIR}/stand-ins/empty.c)
  string(REGEX MATCH "^lib([^.]+)(\\..*)$" _ ${soname})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${CMAKE_MATCH_1}
    SUFFIX ${CMAKE_MATCH_2}
    NO_SONAME ON
    LIBRARY_OUTPUT_DIRECTORY ${VORNEL_STAND_IN_DIR})
  target_link_options(${target} PRIVATE -Wl,-soname,${soname} -nostdlib)
  set(VORNEL_STAND_IN_SONAMES ${VORNEL_STAND_IN_SONAMES} ${soname} PARENT_SCOPE)
endfunction()

set(VORNEL_STAND_IN_SONAMES "")

vornel_stand_in(vornel_stand_in_cudart libcudart.so.12)
vornel_stand_in(vornel_stand_in_torch_hip libtorch_hip.so)
vornel_stand_in(vornel_stand_in_stratahip libstratahip.so.5)

set(VORNEL_LINK_PTHREAD ${VORNEL_LINK_ONLY_DIR}/libpthread.so.0)
add_library(vornel_link_pthread SHARED ${CMAKE_CURRENT_LIST_DIR}/stand-ins/pthread_key.c)
set_target_properties(vornel_link_pthread PROPERTIES
  OUTPUT_NAME pthread
  SUFFIX .so.0
  NO_SONAME ON
  LIBRARY_OUTPUT_DIRECTORY ${VORNEL_LINK_ONLY_DIR}
  LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/stand-ins/pthread_key.map)
target_link_options(vornel_link_pthread PRIVATE
  -Wl,-soname,libpthread.so.0 -nostdlib
  -Wl,--version-script=${CMAKE_CURRENT_LIST_DIR}/stand-ins/pthread_key.map)

# librt and libdl have no link-time name (lib*.so) on current systems: the
# files the compiler driver itself would find are linked by their path.
function(vornel_system_library variable file)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${file}
                  OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} finds no ${file}")
  endif()
  get_filename_component(_path ${_path} REALPATH)
  set(${variable} ${_path} PARENT_SCOPE)
endfunction()
vornel_system_library(VORNEL_SYSTEM_LIBRT librt.so.1)
vornel_system_library(VORNEL_SYSTEM_LIBDL libdl.so.2)

# The opt-in for programs on machines without the CUDA, HIP and torch
# libraries, vornel::stand_ins: the program names the stand-ins among its own
# needed libraries, so the loader maps them before it reads libvornel.so's
# needed list and matches those names to them, without a search. The
# program's run path is a DT_RPATH, which the loader searches before
# LD_LIBRARY_PATH. The tests and vornel-path link it too; the installed
# package has its own (cmake/vornelConfig.cmake.in, vornel-stand-ins.pc).
add_library(vornel_stand_ins INTERFACE)
add_library(vornel::stand_ins ALIAS vornel_stand_ins)
target_link_libraries(vornel_stand_ins INTERFACE
  -Wl,--push-state,--no-as-needed
  vornel_stand_in_cudart vornel_stand_in_torch_hip vornel_stand_in_stratahip
  -Wl,--pop-state)
target_link_options(vornel_stand_ins INTERFACE -Wl,--disable-new-dtags)
