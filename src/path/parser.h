// Private to the library: the scanner, whole. The separator and the tests on
// it, and the forward parser that yields one component of a path's text per
// step, its steps inline so that every scan inlines them.
#ifndef VORNEL_SRC_PATH_PARSER_H
#define VORNEL_SRC_PATH_PARSER_H

#include <fs_path>

#include <cstddef>
#include <cstring>
#include <string_view>

namespace vornel {

inline constexpr std::size_t npos = std::string_view::npos;

// The one directory separator of POSIX text.
inline constexpr char separator = std::filesystem::path::preferred_separator;

inline bool is_dir_sep(char c) noexcept { return c == separator; }

// The first position at or after `from` that is not a separator, or n.
inline std::size_t skip_separators(const char* data, std::size_t from, std::size_t n) noexcept {
  while (from < n && is_dir_sep(data[from])) ++from;
  return from;
}

// A root directory is one separator however many its text spans: "/" and
// "///" compare equal, so they hash alike and have one normal form, a root
// directory taken out of a path alone is this one byte, and separators added
// to a path that is only a root directory lengthen that root.
inline constexpr std::string_view root_directory_text(&separator, 1);

}  // namespace vornel

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

inline path::_Parser::cmpt path::_Parser::root_step() noexcept {
  using vornel::is_dir_sep, vornel::skip_separators;
  cmpt root;
  if (input.empty() || !is_dir_sep(input[0])) return root;
  root.text = std::string_view(input.data(), 1);
  root.kind = _Type::_Rootdir;
  cursor = skip_separators(input.data(), 1, input.size());
  prev_type = _Type::_Rootdir;
  return root;
}

inline path::_Parser::cmpt path::_Parser::next() noexcept {
  using vornel::is_dir_sep, vornel::npos, vornel::separator, vornel::skip_separators;
  cmpt found;
  if (cursor == npos) {
    prev_type = _Type::_Multi;
    return found;
  }
  const std::size_t entry = cursor;
  const char* const data = input.data();
  const std::size_t n = input.size();
  // After a filename the scan stands on the separator that ended it.
  const std::size_t start =
      skip_separators(data, entry + (prev_type == _Type::_Filename), n);
  if (start < n) {
    const void* sep = std::memchr(data + start, separator, n - start);
    const std::size_t end = sep ? std::size_t(static_cast<const char*>(sep) - data) : n;
    found.text = std::string_view(data + start, end - start);
    found.kind = _Type::_Filename;
    cursor = sep ? end : npos;
    prev_type = _Type::_Filename;
    return found;
  }
  cursor = npos;
  if (prev_type == _Type::_Filename || (n != 0 && entry == 0)) {
    __vornel_check_as(n > 0, "this->_M_len > 0");
    __vornel_check(is_dir_sep(input.back()));
    found.text = std::string_view(data + n, 0);
    found.kind = _Type::_Filename;
  }
  prev_type = found.kind;
  return found;
}

}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_PATH_PARSER_H
