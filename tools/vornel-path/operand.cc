// The operand form, read off the text where it is plain and by the library
// otherwise; the forms fuzz target holds the first to the second.
#include "operand.h"

#include "forms.h"

namespace vornel::tool {

using std::filesystem::path;

path library_operand_form(std::string_view text) {
  path form = path(text).lexically_normal();
  if (!form.has_filename() && form.has_relative_path()) form = form.parent_path();
  if (form.native() == ".") form.clear();
  if (form.has_root_directory() && !form.has_relative_path()) form = "/";
  return form;
}

std::string_view operand_form(std::string_view text, std::string& out) {
  if (!forms::operand(text, out)) out = library_operand_form(text).native();
  return out;
}

bool same_frame(std::string_view a, std::string_view b) {
  return is_absolute(a) == is_absolute(b) &&
         (is_absolute(a) || forms::climb(a) == forms::climb(b));
}

const std::string& relate(std::string_view from, std::string_view base, std::string& out) {
  if (!forms::relative(from, base, out)) out = path(from).lexically_relative(path(base)).native();
  return out;
}

}  // namespace vornel::tool
