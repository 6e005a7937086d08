// Parsing of the command line and the help texts.
#include "args.h"

#include <algorithm>

namespace vornel::tool {
namespace {

const char kOptionsHelp[] =
    "Options (anywhere before '--'):\n"
    "  -0, --null   paths on standard input end with NUL instead of newline,\n"
    "               and so does every line of output\n"
    "      --json   one JSON object per result; bytes that are not UTF-8 are\n"
    "               written as \\udc80..\\udcff (byte 0x80..0xff), so that\n"
    "               every path survives\n"
    "  -h, --help   this help ('vornel-path COMMAND --help' for one command)\n"
    "      --version  the version and the library file in use\n"
    "  --           the end of options: later arguments may begin with '-'\n"
    "\n"
    "With no PATH arguments the paths are read from standard input, one per\n"
    "line (an empty line is the empty path). No file system is consulted.\n"
    "Exit status: 0 done; 1 a comparison that differs, or no relative path;\n"
    "2 usage error or failed input or output.\n";

bool apply_option(std::string_view arg, Invocation& inv) {
  if (arg == "-0" || arg == "--null")
    inv.terminator = '\0';
  else if (arg == "--json")
    inv.json = true;
  else if (arg == "-h" || arg == "--help")
    inv.help = true;
  else if (arg == "--version")
    inv.version = true;
  else
    return false;
  return true;
}

bool is_option(std::string_view arg) { return arg.size() > 1 && arg[0] == '-'; }

// The words that are not options, in order; options set their flags.
std::vector<std::string_view> split_options(int argc, char** argv, Invocation& inv) {
  std::vector<std::string_view> words;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (options_done || !is_option(arg)) {
      words.push_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (!apply_option(arg, inv)) {
      const Command* command = words.empty() ? nullptr : find_command(words[0]);
      throw UsageError("unknown option '" + std::string(arg) + "'", command);
    }
  }
  return words;
}

const Command& known_command(std::string_view name) {
  const Command* command = find_command(name);
  if (!command) throw UsageError("unknown command '" + std::string(name) + "'", nullptr);
  return *command;
}

}  // namespace

Invocation parse_arguments(int argc, char** argv) {
  Invocation inv;
  std::vector<std::string_view> words = split_options(argc, argv, inv);
  if (words.empty()) {
    if (!inv.help && !inv.version) throw UsageError("missing command", nullptr);
    return inv;
  }
  if (words[0] == "help") {
    if (words.size() > 2) throw UsageError("help takes at most one command", nullptr);
    if (words.size() == 2) inv.command = &known_command(words[1]);
    inv.help = true;
    return inv;
  }
  inv.command = &known_command(words[0]);
  if (inv.help || inv.version) return inv;
  auto rest = words.begin() + 1;
  if (inv.command->operand) {
    if (rest == words.end())
      throw UsageError(std::string(inv.command->name) + ": missing " + inv.command->operand,
                       inv.command);
    inv.operand = *rest++;
  }
  inv.paths.assign(rest, words.end());
  return inv;
}

std::string tool_help() {
  std::string text =
      "Usage: vornel-path [OPTION...] COMMAND [OPERAND] [PATH...]\n"
      "Lexical operations on POSIX paths, one result per PATH.\n\nCommands:\n";
  for (const Command& command : commands()) {
    std::string name(command.name);
    if (command.operand) name.append(" ").append(command.operand);
    name.resize(std::max<std::size_t>(name.size() + 1, 23), ' ');
    text.append("  ").append(name).append(command.summary).append("\n");
  }
  return text + "\n" + kOptionsHelp;
}

std::string command_help(const Command& command) {
  std::string text = "Usage: vornel-path ";
  text.append(command.name).append(" [OPTION...] ");
  if (command.operand) text.append(command.operand).append(" ");
  text.append("[PATH...]\n").append(command.details).append("\n");
  return text + kOptionsHelp;
}

}  // namespace vornel::tool
