// How relative, proximate, is-within, common and absolute take an operand:
// its normal form without a trailing separator.
#ifndef VORNEL_TOOLS_OPERAND_H
#define VORNEL_TOOLS_OPERAND_H

#include <fs_path>
#include <string>
#include <string_view>

namespace vornel::tool {

// The operand form of `text`, by the library alone: the normal form without
// a trailing separator, "." (a path that names where it starts) as the empty
// path, and a root alone as "/", however many separators it is written with.
std::filesystem::path library_operand_form(std::string_view text);

// The operand form of `text` into `out`: forms::operand where the text gives
// it, else library_operand_form. Returns a view of `out`, which must not
// hold `text`.
std::string_view operand_form(std::string_view text, std::string& out);

inline bool is_absolute(std::string_view form) { return !form.empty() && form[0] == '/'; }

// Whether the text of two operand forms relates them: both absolute, or both
// relative and climbing as far, so that the working directory's names would
// cancel out.
bool same_frame(std::string_view a, std::string_view b);

// The relative form of the operand form `from` against `base`, of the same
// frame, into `out`: never empty.
const std::string& relate(std::string_view from, std::string_view base, std::string& out);

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_OPERAND_H
