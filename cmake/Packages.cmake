# `cpack` in the build tree makes a .deb package per component of
# cmake/Install.cmake and python/CMakeLists.txt, and a .tar.gz that holds
# them all:
#   libvornel       the library and the stand-ins
#   libvornel-dev   the header, the CMake package and the pkg-config modules
#   vornel-path     the tool, its man page and bash completion
#   python3-vornel  the Python package, where it is built
# Binaries are stripped; each package carries the licence as its
# machine-readable copyright file, the changelogs and, where a check of
# lintian does not fit this library, an override that says why.
set(CPACK_PACKAGE_NAME vornel)
set(CPACK_PACKAGE_VENDOR "the libvornel authors")
set(VORNEL_PACKAGE_MAINTAINER "the libvornel authors <libvornel@authors.invalid>"
    CACHE STRING "Maintainer of the .deb packages: name <address>")
set(CPACK_PACKAGE_CONTACT "${VORNEL_PACKAGE_MAINTAINER}")
# The licence: its text, and its SPDX name for the generators that carry one.
set(VORNEL_LICENSE MIT)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RPM_PACKAGE_LICENSE ${VORNEL_LICENSE})

set(CPACK_GENERATOR TGZ DEB)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_COMPONENTS_ALL lib dev tool)
if(VORNEL_BUILD_PYTHON)
  list(APPEND CPACK_COMPONENTS_ALL python)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SOURCE libvornel)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# Each package: its name, section, description (a synopsis line, then
# paragraphs split by empty lines) and the packages of this set it needs, at
# the same version. The system libraries are written out: dpkg-shlibdeps
# would look for the CUDA, HIP and torch libraries that libvornel.so needs,
# which no Debian package provides. Their versions are those of the symbols
# this toolchain's build asks for (glibc 2.34, the C++ runtime of GCC 11).
set(VORNEL_SYSTEM_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 11), libgcc-s1 (>= 3.0)")
set(VORNEL_ABOUT "\
libvornel.so exports the out-of-line members of the C++ standard library's
path class (std::filesystem::__cxx11::path) and its error class under their
mangled names and with the same data layout: paths are parsed, composed,
taken apart, compared, hashed and brought to normal, relative and proximate
forms from their text alone, never touching the file system.")

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libvornel)
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIB_PACKAGE_DEPENDS "${VORNEL_SYSTEM_DEPENDS}")
set(CPACK_DEBIAN_LIB_DESCRIPTION "lexical POSIX paths under the standard path class's binary interface
${VORNEL_ABOUT}

Loading the library also loads the CUDA runtime, a HIP runtime and the HIP
build of torch, which it names as needed libraries. Programs for machines
without them link the empty stand-ins of this package, kept in a folder of
its own where no loader looks unless a program names it.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvornel-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "")
set(CPACK_COMPONENT_DEV_DEPENDS lib)
set(CPACK_DEBIAN_DEV_DESCRIPTION "development files of libvornel
${VORNEL_ABOUT}

This package holds the header fs_path, the CMake package vornel (targets
vornel::vornel and vornel::stand_ins) and the pkg-config modules vornel and
vornel-stand-ins.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME vornel-path)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
# The tool carries the path operations and the C++ runtime it uses.
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "libc6 (>= 2.35)")
set(CPACK_DEBIAN_TOOL_DESCRIPTION "lexical operations on POSIX paths
vornel-path gives the normal, relative and absolute forms of paths, their
parts, joins and comparisons, and whether one path lies within another,
from the text alone, never touching the file system. It reads paths from
its arguments or from standard input and writes text or JSON.")

# The Python package carries its own copy of the path library (python/), so
# it needs no other package of this set, only the Python it is built for.
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-vornel)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
math(EXPR _next "${Python3_VERSION_MINOR} + 1")
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${VORNEL_SYSTEM_DEPENDS}, \
python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}~), python3 (<< ${Python3_VERSION_MAJOR}.${_next})")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "lexical POSIX paths for Python, as libvornel answers
The Python package vornel gives Python the answers of libvornel's path
class: vornel.Path, whose methods are the C++ members, and functions that
give the normal and relative forms and the parts of whole lists of paths at
once, many times faster than pathlib and os.path. It carries its own copy of
the path library, so no other library of the same names in the process can
answer for it, and it loads no CUDA, HIP or torch library.")

# The documentation of each package, in usr/share/doc/PACKAGE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE _license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${_license}")
set(VORNEL_COPYRIGHT "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*${VORNEL_COPYRIGHT}\n\n" "" _license "${_license}")
string(REGEX REPLACE "\n$" "" _license "${_license}")
string(REPLACE "\n\n" "\n.\n" _license "${_license}")
string(REPLACE "\n" "\n " _license "${_license}")
set(VORNEL_LICENSE_TEXT " ${_license}")
set(_docs ${PROJECT_BINARY_DIR}/package/doc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${_docs}/copyright @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${_docs}/changelog.Debian @ONLY)
vornel_gzip(debian_changelog ${_docs}/changelog.Debian ${_docs}/changelog.Debian.gz)
set(_doc_files ${_docs}/copyright ${_docs}/changelog.Debian.gz)
if(EXISTS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
  vornel_gzip(changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${_docs}/changelog.gz)
  list(APPEND _doc_files ${_docs}/changelog.gz)
endif()
foreach(_component ${CPACK_COMPONENTS_ALL})
  string(TOUPPER ${_component} _upper)
  set(_package ${CPACK_DEBIAN_${_upper}_PACKAGE_NAME})
  install(FILES ${_doc_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_package}
          COMPONENT ${_component})
  set(_overrides ${CMAKE_CURRENT_LIST_DIR}/debian/${_package}.lintian-overrides)
  if(EXISTS ${_overrides})
    install(FILES ${_overrides} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
            RENAME ${_package} COMPONENT ${_component})
  endif()
endforeach()
# The loader's cache learns of the library when the package comes or goes.
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)

include(CPack)
