// The state of common: the part that the PATHs read so far share, and what
// the answer needs to know of them.
#ifndef VORNEL_TOOLS_COMMON_H
#define VORNEL_TOOLS_COMMON_H

#include <fs_path>
#include <optional>
#include <string>
#include <string_view>

#include "commands.h"
#include "working_directory.h"

namespace vornel::tool {

class Common {
 public:
  explicit Common(const Request& request) : lexical_(request.lexical), here_(request) {}

  // Cuts the shared part back to what `text` shares with it.
  void add(std::string_view text);
  // The longest path that contains every PATH added; none where there is
  // none (no PATH, or, with --lexical, none that the text proves).
  Answer answer();

 private:
  void lexically_add(std::string_view text);
  Answer lexical_answer();

  const bool lexical_;
  WorkingDirectory here_;
  std::string form_, placed_, result_;
  // The default mode: the shared part in operand form, placed in the working
  // directory once two PATHs' text does not relate them.
  std::optional<std::string> shared_form_;
  bool any_absolute_ = false;
  // --lexical: the shared part as written, and how far the PATHs climb above
  // it at their highest (a count of levels, at most 0).
  std::optional<std::filesystem::path> shared_;
  bool disjoint_ = false;
  int dip_ = 0;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_COMMON_H
