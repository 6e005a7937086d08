# Installs libvornel.so, the header fs_path and vornel-path (with its man
# page and bash completion), a CMake package (find_package(vornel) gives
# vornel::vornel) and a pkg-config file. The library's soname, needed list and
# run path are fixed at link time, and its file is installed as it is: CMake
# knows of no run path to rewrite.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS vornel LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/fs_path DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET vornel-path)
  # The tool's private copies of the empty stand-ins, in a directory that no
  # loader searches for any other program. The tool's DT_RPATH names it
  # before the library directory, so its own needed stand-ins are mapped
  # before libvornel.so's needed list is read, wherever the prefix is and
  # whatever LD_LIBRARY_PATH says.
  set(VORNEL_TOOL_LIBDIR ${CMAKE_INSTALL_LIBDIR}/vornel/stand-ins)
  install(TARGETS vornel_stand_in_cudart vornel_stand_in_torch_hip vornel_stand_in_stratahip
          LIBRARY DESTINATION ${VORNEL_TOOL_LIBDIR})
  file(RELATIVE_PATH _to_stand_ins /${CMAKE_INSTALL_BINDIR} /${VORNEL_TOOL_LIBDIR})
  file(RELATIVE_PATH _to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(vornel-path PROPERTIES
    INSTALL_RPATH "$ORIGIN/${_to_stand_ins}:$ORIGIN/${_to_lib}")
  install(TARGETS vornel-path RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/tools/vornel-path.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME vornel-path)
  if(TARGET vornel-path-man)
    install(FILES ${PROJECT_BINARY_DIR}/tools/vornel-path.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

set(VORNEL_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vornel)
configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/vornelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/vornelConfig.cmake
  INSTALL_DESTINATION ${VORNEL_PACKAGE_DIR}
  PATH_VARS CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_INCLUDEDIR)
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/package/vornelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/package/vornelConfig.cmake
  ${PROJECT_BINARY_DIR}/package/vornelConfigVersion.cmake
  DESTINATION ${VORNEL_PACKAGE_DIR})

# The pkg-config file finds the prefix from its own place, so that it stays
# right for `cmake --install --prefix DIR`.
file(RELATIVE_PATH VORNEL_PC_PREFIX
  /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" VORNEL_PC_PREFIX "${VORNEL_PC_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/vornel.pc.in
               ${PROJECT_BINARY_DIR}/package/vornel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/vornel.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
