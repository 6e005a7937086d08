// The subcommands of vornel-path: one lexical path operation each.
#ifndef VORNEL_TOOLS_COMMANDS_H
#define VORNEL_TOOLS_COMMANDS_H

#include <array>
#include <cstddef>
#include <string_view>

#include "input.h"
#include "output.h"

namespace vornel::tool {

// What a command is asked to do besides reading its paths.
struct Request {
  std::string_view operand;  // the argument before the paths, if the command takes one
  bool lexical = false;      // --lexical: operands as written
  bool has_cwd = false;      // --cwd DIR: absolute against DIR
  std::string_view cwd;
};

// The options that only some commands take.
enum CommandOption : unsigned { kLexical = 1, kCwd = 2 };

class Job;  // job.h

// What a command makes of one PATH, or of all of them.
struct Answer {
  Value result;
  int status = 0;                 // the exit status it asks for, 0 or 1
  const Field* fields = nullptr;  // fields of its own; else the operand's, if any
  std::size_t field_count = 0;
};

struct Command {
  std::string_view name;
  std::string_view operand;      // the argument that comes before the paths, if any
  std::string_view operand_key;  // the JSON field that repeats it, if any
  unsigned options;              // CommandOption bits
  Plain plain;                   // how plain text shows its records
  std::string_view summary;      // one line of the tool's help
  std::string_view details;      // the command's own help, after its usage line
  Answer (*answer)(Job& job, std::string_view path);
  // Commands of one record for all PATHs: `answer` takes in each PATH, and
  // this gives the record's result.
  Answer (*result)(Job& job) = nullptr;
};

inline constexpr std::size_t kCommandCount = 20;

// Every command, in the order of the tool's help.
const std::array<Command, kCommandCount>& commands();
const Command* find_command(std::string_view name);

// Writes the records of `command` for every path; returns the exit status.
int run_command(const Command& command, const Request& request, PathSource& paths, Output& out);

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_COMMANDS_H
