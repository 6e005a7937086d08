# Installs libvornel.so, its header as include/vornel/fs_path, vornel-path
# (with its man page and bash completion), a CMake package (find_package(vornel)
# gives vornel::vornel and the opt-in vornel::stand_ins), the pkg-config
# modules vornel and vornel-stand-ins, and the empty stand-ins in a folder of
# the package's own. The library's soname, needed list and run path are fixed
# at link time, and its file is installed as it is: CMake knows of no run path
# to rewrite. Everything else finds the prefix from its own place, so that the
# installed tree and the packages made from it can be moved.
#
# Three components, one package each (cmake/Packages.cmake): lib (the library
# and the stand-ins), dev (header, CMake package, pkg-config modules) and tool;
# python/CMakeLists.txt adds a fourth, python, the Python package.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VORNEL_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/vornel)
# A folder that no loader searches for any program that does not name it.
set(VORNEL_STAND_IN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vornel/stand-ins)

install(TARGETS vornel LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT lib)
install(FILES ${PROJECT_SOURCE_DIR}/include/fs_path DESTINATION ${VORNEL_INCLUDE_DIR}
        COMPONENT dev)
install(TARGETS vornel_stand_in_cudart vornel_stand_in_torch_hip vornel_stand_in_stratahip
        LIBRARY DESTINATION ${VORNEL_STAND_IN_INSTALL_DIR} COMPONENT lib)

# Target vornel_NAME_gz compresses FILE into OUTPUT as Debian ships
# documentation: gzip -9, with no name or time stamp, so that the same input
# gives the same bytes. More arguments are what FILE is made by.
function(vornel_gzip name file output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${file} > ${output}
    DEPENDS ${file} ${ARGN})
  add_custom_target(vornel_${name}_gz ALL DEPENDS ${output})
endfunction()

if(TARGET vornel-path)
  # The path operations are compiled into the tool: it needs only the C and
  # C++ runtimes, which the loader finds in its cache, and no run path.
  set_target_properties(vornel-path PROPERTIES INSTALL_RPATH "")
  install(TARGETS vornel-path RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  install(FILES ${PROJECT_SOURCE_DIR}/tools/vornel-path.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME vornel-path COMPONENT tool)
  if(TARGET vornel-path-man)
    set(_page ${PROJECT_BINARY_DIR}/package/vornel-path.1.gz)
    vornel_gzip(man_page ${PROJECT_BINARY_DIR}/tools/vornel-path.1 ${_page} vornel-path-man)
    install(FILES ${_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
  endif()
endif()

set(VORNEL_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vornel)
configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/vornelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/vornelConfig.cmake
  INSTALL_DESTINATION ${VORNEL_PACKAGE_DIR}
  PATH_VARS CMAKE_INSTALL_LIBDIR VORNEL_INCLUDE_DIR VORNEL_STAND_IN_INSTALL_DIR)
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/package/vornelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/package/vornelConfig.cmake
  ${PROJECT_BINARY_DIR}/package/vornelConfigVersion.cmake
  DESTINATION ${VORNEL_PACKAGE_DIR} COMPONENT dev)

# The pkg-config modules find the prefix from their own place (pcfiledir).
file(RELATIVE_PATH VORNEL_PC_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" VORNEL_PC_PREFIX "${VORNEL_PC_PREFIX}")
list(TRANSFORM VORNEL_STAND_IN_SONAMES PREPEND "\${standins}/" OUTPUT_VARIABLE _files)
string(JOIN " " VORNEL_PC_STAND_INS ${_files})
foreach(_module vornel vornel-stand-ins)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${_module}.pc.in
                 ${PROJECT_BINARY_DIR}/package/${_module}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/package/${_module}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endforeach()
