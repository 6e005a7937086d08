// A path taken apart: its parts by the library's queries, its components by
// iteration.
#include "parts.h"

#include <charconv>
#include <iterator>

namespace vornel::tool {
namespace {

using std::filesystem::path;

const char* kind_name(const path& component) {
  return component.has_root_directory() ? "root-directory" : "filename";
}

// `value` in decimal, appended to `out`, which must not grow past its
// capacity so that earlier views into it stay valid.
std::string_view decimal(std::string& out, std::size_t value) {
  char digits[24];
  const std::size_t start = out.size();
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
  return std::string_view(out).substr(start);
}

}  // namespace

Answer Parts::answer(std::string_view text) {
  static const std::string_view kColumns[] = {"pos", "kind", "text"};
  const path& p = path_ = path(text);
  parts_ = {p.root_directory(), p.relative_path(), p.parent_path(),
            p.filename(),       p.stem(),          p.extension()};
  const std::size_t count = std::distance(p.begin(), p.end());
  digits_.clear();
  digits_.reserve(24 * (count + 1));
  cells_.clear();
  // A component's byte position is what the path keeps beside its text, and
  // no standard member gives it: parts reads it from the header's internals
  // on purpose (the components of a path of several are _Cmpt, which hold
  // it), and nothing else in the tool does.
  const bool several = p._M_type() == path::_Type::_Multi;
  for (const path& component : p) {
    const std::size_t pos = several ? static_cast<const path::_Cmpt&>(component)._M_pos : 0;
    cells_.insert(cells_.end(), {Value::literal(decimal(digits_, pos)),
                                 Value::bytes(kind_name(component)),
                                 Value::bytes(component.native())});
  }
  fields_ = {{{"root_directory", Value::bytes(parts_[0].native())},
              {"relative_path", Value::bytes(parts_[1].native())},
              {"parent_path", Value::bytes(parts_[2].native())},
              {"filename", Value::bytes(parts_[3].native())},
              {"stem", Value::bytes(parts_[4].native())},
              {"extension", Value::bytes(parts_[5].native())},
              {"absolute", Value::boolean(p.is_absolute())},
              {"components", Value::rows(cells_.data(), count, kColumns, 3)}}};
  return {Value::literal(decimal(digits_, count)), 0, fields_.data(), fields_.size()};
}

}  // namespace vornel::tool
