// The subcommands of vornel-path: one lexical path operation each.
#ifndef VORNEL_TOOLS_COMMANDS_H
#define VORNEL_TOOLS_COMMANDS_H

#include <string_view>
#include <vector>

#include "input.h"
#include "output.h"

namespace vornel::tool {

// What a command is asked to do besides reading its paths.
struct Request {
  std::string_view operand;  // the argument before the paths, if the command takes one
  bool lexical = false;      // relative and proximate: the operands as written
};

struct Command {
  std::string_view name;
  const char* operand;  // the argument that comes before the paths, if any
  bool has_lexical;     // whether --lexical applies
  const char* summary;  // one line of the tool's help
  const char* details;  // the command's own help, after its usage line
  // Writes the results for every path; returns the exit status (0 or 1).
  int (*run)(const Request& request, PathSource& paths, Output& out);
};

const std::vector<Command>& commands();
const Command* find_command(std::string_view name);

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_COMMANDS_H
