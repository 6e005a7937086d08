// The state of relative, proximate and is-within: BASE or DIR, and how each
// PATH relates to it.
#ifndef VORNEL_TOOLS_RELATION_H
#define VORNEL_TOOLS_RELATION_H

#include <fs_path>
#include <string>
#include <string_view>

#include "commands.h"
#include "working_directory.h"

namespace vornel::tool {

class Relation {
 public:
  explicit Relation(const Request& request);

  // The path that leads from BASE to `text`; none where --lexical finds
  // none (in the default mode every pair has one).
  Value relative(std::string_view text);
  // relative(), or else `text` as written.
  Value proximate(std::string_view text);
  // Whether `text` names DIR or lies below it.
  bool holds(std::string_view text);

 private:
  bool lexically_holds(std::string_view text);
  // BASE or DIR made absolute.
  std::string_view placed_base();

  const bool lexical_;
  const std::filesystem::path base_;  // BASE or DIR as written
  std::string base_form_;             // its operand form, unless --lexical
  std::string placed_base_;
  WorkingDirectory here_;
  std::filesystem::path path_;
  std::string form_, placed_, result_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_RELATION_H
