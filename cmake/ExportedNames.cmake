# The exported names, read once from src/shell/exports.txt: the version
# script that links the library and the C++ list of names that the binding
# guard checks are both written from it.
set(VORNEL_EXPORTS_FILE ${PROJECT_SOURCE_DIR}/src/shell/exports.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VORNEL_EXPORTS_FILE})
file(STRINGS ${VORNEL_EXPORTS_FILE} VORNEL_EXPORTED_NAMES REGEX "^[^#]")
list(LENGTH VORNEL_EXPORTED_NAMES _count)
if(NOT _count EQUAL 70)
  message(FATAL_ERROR "${VORNEL_EXPORTS_FILE} lists ${_count} names, not 70")
endif()

# Writes `content` to `file` only when it changes, so that nothing relinks
# on a configure that changed nothing.
function(vornel_write_if_changed file content)
  file(WRITE ${file}.tmp "${content}")
  configure_file(${file}.tmp ${file} COPYONLY)
endfunction()

# The version script sits where the source layout puts it, below the build
# tree: src/shell/vornel.map. An anonymous node, so no symbol version is
# defined, and every name not listed stays inside the library.
set(VORNEL_MAP ${PROJECT_BINARY_DIR}/src/shell/vornel.map)
set(_map "{\n  global:\n")
foreach(_name ${VORNEL_EXPORTED_NAMES})
  string(APPEND _map "    ${_name};\n")
endforeach()
string(APPEND _map "  local:\n    *;\n};\n")
vornel_write_if_changed(${VORNEL_MAP} "${_map}")

# The names as C string literals, for the binding guard to #include.
set(VORNEL_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/generated)
set(_literals "")
foreach(_name ${VORNEL_EXPORTED_NAMES})
  string(APPEND _literals "\"${_name}\",\n")
endforeach()
vornel_write_if_changed(${VORNEL_GENERATED_INCLUDE_DIR}/exported_names.inc "${_literals}")
