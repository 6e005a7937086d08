# `cpack` in the build tree makes a .tar.gz and a .deb of what cmake/Install.cmake
# installs. The .deb's dependencies are written out: dpkg-shlibdeps would look
# for the CUDA, HIP and torch libraries that libvornel.so needs, which no
# Debian package provides. The versions are those of the symbols this
# toolchain's build asks for (glibc 2.34, the C++ runtime of GCC 11).
set(CPACK_PACKAGE_NAME vornel)
set(CPACK_PACKAGE_VENDOR "The vornel developers")
set(CPACK_PACKAGE_CONTACT "The vornel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "lexical POSIX path library under the binary interface of the standard path class")
set(CPACK_PACKAGE_DESCRIPTION
  "libvornel.so exports the out-of-line members of the C++ standard library's \
path class (std::filesystem::__cxx11::path) and its error class under their \
mangled names and with the same data layout: paths are parsed, composed, \
taken apart, compared, hashed and brought to normal, relative and proximate \
forms from their text alone, never touching the file system. Loading the \
library also loads the CUDA runtime, a HIP runtime and the HIP build of torch, \
which it names as needed libraries; programs for machines without them link \
the empty stand-ins of this package (CMake target vornel::stand_ins, \
pkg-config module vornel-stand-ins). The package holds the library, its \
header fs_path, a CMake package, pkg-config modules, and the command-line \
tool vornel-path with its manual page and bash completion.")
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 11), libgcc-s1 (>= 3.0)")
include(CPack)
