// The command line of vornel-path: options, the subcommand and its operands.
#ifndef VORNEL_TOOLS_ARGS_H
#define VORNEL_TOOLS_ARGS_H

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"

namespace vornel::tool {

struct Invocation {
  const Command* command = nullptr;  // none: the tool's own help or version
  bool help = false;
  bool version = false;
  bool json = false;
  char input_terminator = '\n';
  char output_terminator = '\n';  // JSON records always end in a newline
  Request request;
  std::vector<std::string_view> paths;  // empty: read standard input
};

// A command line that cannot be run; `command` names the help to point to.
class UsageError : public std::runtime_error {
 public:
  UsageError(const std::string& message, const Command* help_for)
      : std::runtime_error(message), command(help_for) {}
  const Command* command;
};

Invocation parse_arguments(int argc, char** argv);

std::string tool_help();
std::string command_help(const Command& command);

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_ARGS_H
