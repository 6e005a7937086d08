# Installs libvornel.so, the header fs_path and vornel-path, with a CMake
# package (find_package(vornel) gives vornel::vornel) and a pkg-config file.
# The library's soname, needed list and run path are fixed at link time, and
# its file is installed as it is: CMake knows of no run path to rewrite. The
# stand-in libraries of the build tree are never installed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS vornel LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/fs_path DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET vornel-path)
  install(TARGETS vornel-path RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
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
