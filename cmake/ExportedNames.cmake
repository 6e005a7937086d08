# Writes the exported names of the version script that match `pattern` to
# `out_file`, one C string literal a line, for binding checks that #include it.
function(vornel_exported_names out_file pattern)
  file(STRINGS ${VORNEL_MAP} _lines REGEX "^    ${pattern}")
  set(_names "")
  foreach(_line ${_lines})
    string(REGEX REPLACE "^ +([^;]+);.*$" "\\1" _name "${_line}")
    string(APPEND _names "  \"${_name}\",\n")
  endforeach()
  file(WRITE ${out_file}.tmp "${_names}")
  configure_file(${out_file}.tmp ${out_file} COPYONLY)
endfunction()
