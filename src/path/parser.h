// Private to the library: the forward scanner that yields one component of a
// path's text per step. Its steps are defined in internal.h.
#ifndef VORNEL_SRC_PATH_PARSER_H
#define VORNEL_SRC_PATH_PARSER_H

#include <fs_path>

#include <cstddef>
#include <string_view>

namespace std::filesystem::__cxx11 {

struct path::_Parser {
  using string_view_type = std::string_view;

  // One step's result: a view into `input` and its kind (_Multi: none).
  struct cmpt {
    string_view_type text;
    _Type kind = _Type::_Multi;
    bool valid() const noexcept { return kind != _Type::_Multi; }
  };

  _Parser(string_view_type input_text, std::size_t offset = 0) noexcept
      : input(input_text), base_offset(offset) {}

  // Done once, before the first next(): the root directory, if any.
  cmpt root_step() noexcept;
  cmpt next() noexcept;

  // The position of a component of this scan in the owning path's text.
  std::size_t position(const cmpt& c) const noexcept {
    return base_offset + std::size_t(c.text.data() - input.data());
  }

  string_view_type input;
  std::size_t cursor = 0;  // npos once the scan is over
  std::size_t base_offset;
  _Type prev_type = _Type::_Multi;
};

}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_PATH_PARSER_H
