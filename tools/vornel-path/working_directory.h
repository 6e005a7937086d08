// The working directory that the default mode relates operands through, as
// realpath -s -m does: its name, read once and only when an answer needs
// it, or DIR of --cwd DIR. It is the state of absolute, and a part of that
// of the commands that relate PATHs.
#ifndef VORNEL_TOOLS_WORKING_DIRECTORY_H
#define VORNEL_TOOLS_WORKING_DIRECTORY_H

#include <string>
#include <string_view>

#include "commands.h"

namespace vornel::tool {

class WorkingDirectory {
 public:
  explicit WorkingDirectory(const Request& request) : request_(request) {}

  // absolute: `text` made absolute, in operand form.
  Value absolute(std::string_view text);

  // An operand form made absolute: the working directory's name joined with
  // it where it is relative, into `out`; an absolute one as it is.
  std::string_view placed(std::string_view form, std::string& out);

  // The name in operand form; throws std::runtime_error where it cannot be
  // read.
  const std::string& name();

 private:
  const Request& request_;
  std::string name_;  // empty until read: a name in operand form never is
  std::string joined_, form_, result_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_WORKING_DIRECTORY_H
