# What makes a shared library libvornel.so to the loader and to the processes
# that bind its names: the file name and soname, the run path (fixed, whatever
# the install prefix), the version script that exports exactly the listed
# names, the markers, and how the two sources whose exported names and
# bindings depend on their compilation are compiled. The library has it, and
# so does every copy built from its sources (the fuzz targets'), so that a
# process binds a copy exactly as it binds the library.
set(VORNEL_SONAME "libvornel.so")
set(VORNEL_RUNPATH "/usr/local/lib:/usr/local/lib/python3.11/site-packages/torch/lib")
set(VORNEL_MARKERS ${PROJECT_SOURCE_DIR}/src/shell/markers.ld)

function(vornel_link_identity target)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME vornel
    NO_SONAME ON
    SKIP_BUILD_RPATH ON
    INSTALL_RPATH "")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${VORNEL_MAP} ${VORNEL_MARKERS})
  target_link_options(${target} PRIVATE
    -Wl,-soname,${VORNEL_SONAME}
    -Wl,--enable-new-dtags,-rpath,${VORNEL_RUNPATH}
    -Wl,--version-script=${VORNEL_MAP}
    ${VORNEL_MARKERS})
  # The exported narrow-string constructor has its plain (non-template) name
  # only before C++17.
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/shell/strings.cc
    TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -std=c++14)
  # The error's type information and virtual table are exported weak. clang
  # weakens them only by an assembler directive (see filesystem_error.cc),
  # which its integrated assembler refuses after it has made them global; the
  # system assembler takes it.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set_source_files_properties(${PROJECT_SOURCE_DIR}/src/error/filesystem_error.cc
      TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS -fno-integrated-as)
  endif()
endfunction()
