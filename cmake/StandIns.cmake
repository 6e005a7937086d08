# Stand-ins for the needed libraries this machine lacks, and the link-time
# libpthread that binds __pthread_key_create at its oldest version. They live
# in the build tree; only vornel-path's private copies are ever installed
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
endfunction()

vornel_stand_in(vornel_stand_in_cudart libcudart.so.12)
vornel_stand_in(vornel_stand_in_torch_hip libtorch_hip.so)
vornel_stand_in(vornel_stand_in_stratahip libstratahip.so.5)

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

find_file(VORNEL_SYSTEM_LIBRT librt.so.1 PATHS /lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu REQUIRED)
find_file(VORNEL_SYSTEM_LIBDL libdl.so.2 PATHS /lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu REQUIRED)

# Linked by programs that run from the build tree: loading them first lets the
# loader match libvornel.so's needed names to what is already loaded.
add_library(vornel_stand_ins INTERFACE)
target_link_libraries(vornel_stand_ins INTERFACE
  -Wl,--no-as-needed
  vornel_stand_in_cudart vornel_stand_in_torch_hip vornel_stand_in_stratahip)
