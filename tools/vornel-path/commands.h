// The subcommands of vornel-path: one lexical path operation each.
#ifndef VORNEL_TOOLS_COMMANDS_H
#define VORNEL_TOOLS_COMMANDS_H

#include <string_view>
#include <vector>

#include "input.h"
#include "output.h"

namespace vornel::tool {

struct Command {
  std::string_view name;
  const char* operand;  // the argument that comes before the paths, if any
  const char* summary;  // one line of the tool's help
  const char* details;  // the command's own help, after its usage line
  // Writes the results for every path; returns the exit status (0 or 1).
  int (*run)(std::string_view operand, PathSource& paths, Output& out);
};

const std::vector<Command>& commands();
const Command* find_command(std::string_view name);

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_COMMANDS_H
