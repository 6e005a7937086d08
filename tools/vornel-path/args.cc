// Parsing of the command line, with libc's getopt_long, and the help texts.
#include "args.h"

#include <getopt.h>

#include <algorithm>
#include <cstring>

namespace vornel::tool {
namespace {

const char kOptionsHelp[] =
    "Options:\n"
    "  -0, --null     input records end with NUL instead of newline, and so do\n"
    "                 output records (JSON records still end with newline)\n"
    "  -z, --zero     end each output record with NUL, not newline; input stays\n"
    "                 newline-separated\n"
    "      --json     write one JSON object per record, one per line (JSON Lines)\n"
    "      --lexical  relative, proximate, is-within, common: take the operands\n"
    "                 exactly as written, and never read the working directory\n"
    "      --cwd DIR  absolute, relative, proximate, is-within, common: take DIR\n"
    "                 as the working directory\n"
    "  -h, --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "Options may come anywhere, and be abbreviated to any unambiguous prefix;\n"
    "after '--' every argument is an operand, so a PATH may begin with '-'.\n"
    "--help and --version win wherever they stand.\n"
    "\n"
    "With no PATH, paths are read from standard input, one record each (an\n"
    "empty record is the empty path); a terminal is refused as input. No file\n"
    "system is consulted.\n";

const char kSchemaHelp[] =
    "JSON records:\n"
    "  Every record has \"path\", the input PATH (for join, concat and common,\n"
    "  the array of all PATHs), and \"result\": a string; a number (compare: -1,\n"
    "  0 or 1; parts: the number of components); a boolean (is-absolute,\n"
    "  is-within); or null where there is none (relative, common). relative and\n"
    "  proximate add \"base\", is-within adds \"dir\", compare adds \"other\", and\n"
    "  parts adds root_directory, relative_path, parent_path, filename, stem,\n"
    "  extension, absolute and components (a list of {\"pos\", \"kind\",\n"
    "  \"text\"}).\n"
    "  Bytes that are not UTF-8 are written as \\udc80..\\udcff (byte 0x80..0xff),\n"
    "  as Python's surrogateescape reads them, so every path survives: for a\n"
    "  line read as bytes (from sys.stdin.buffer, whatever the locale),\n"
    "    json.loads(line)[\"result\"].encode(\"utf-8\", \"surrogateescape\")\n"
    "  gives back the exact bytes. jq replaces such escapes with U+FFFD: use it\n"
    "  only where the paths are valid UTF-8.\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  compare found a difference, relative --lexical or common found none,\n"
    "     is-absolute met a path that is not absolute, or is-within a path\n"
    "     outside DIR\n"
    "  2  usage error, failed input or output (join, concat and common then\n"
    "     write no result), or a working directory that cannot be read where\n"
    "     it is needed\n";

enum LongOnly { kJson = 256, kLexicalOption, kCwdOption, kVersion };

const option kOptions[] = {
    {"null", no_argument, nullptr, '0'},
    {"zero", no_argument, nullptr, 'z'},
    {"json", no_argument, nullptr, kJson},
    {"lexical", no_argument, nullptr, kLexicalOption},
    {"cwd", required_argument, nullptr, kCwdOption},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// getopt_long's own messages are off, so that each usage error is one line;
// this says what it would have. `code` is getopt's optopt: 0 for an unknown
// or ambiguous long option, an option's value for one given an argument it
// does not take, any other character for an unknown short option.
std::string rejected_option(std::string_view arg, int code) {
  for (const option* o = kOptions; o->name; ++o)
    if (o->val == code)
      return "option '" + std::string(arg) +
             (o->has_arg ? "' requires an argument" : "' doesn't allow an argument");
  if (code) return "invalid option -- '" + std::string(1, char(code)) + "'";
  const std::string_view name = arg.substr(2, arg.find('=') - 2);
  int matches = 0;
  for (const option* o = kOptions; o->name; ++o)
    matches += std::strncmp(o->name, name.data(), name.size()) == 0;
  return "option '" + std::string(arg) + (matches > 1 ? "' is ambiguous" : "' is not known");
}

// Sets the flags of the options; returns the other words, in order.
std::vector<std::string_view> read_options(int argc, char** argv, Invocation& inv) {
  std::vector<std::string_view> words;
  opterr = 0;
  optind = 0;
  // A leading '-' hands back each operand in place, whatever POSIXLY_CORRECT
  // says; getopt stops at '--' and leaves the rest to us.
  for (;;) {
    const int c = getopt_long(argc, argv, "-0zh", kOptions, nullptr);
    if (c == -1) break;
    switch (c) {
      case 1: words.push_back(optarg); break;
      case '0': inv.input_terminator = inv.output_terminator = '\0'; break;
      case 'z': inv.output_terminator = '\0'; break;
      case 'h': inv.help = inv.help || !inv.version; break;
      case kJson: inv.json = true; break;
      case kLexicalOption: inv.request.lexical = true; break;
      case kCwdOption:
        inv.request.has_cwd = true;
        inv.request.cwd = optarg;
        break;
      case kVersion: inv.version = inv.version || !inv.help; break;
      default: {
        const Command* command = words.empty() ? nullptr : find_command(words[0]);
        throw UsageError(rejected_option(argv[optind - 1], optopt), command);
      }
    }
  }
  words.insert(words.end(), argv + optind, argv + argc);
  if (inv.json) inv.output_terminator = '\n';
  return words;
}

const Command& known_command(std::string_view name) {
  const Command* command = find_command(name);
  if (!command) throw UsageError("unknown command '" + std::string(name) + "'", nullptr);
  return *command;
}

void refuse_extra(const std::vector<std::string_view>& words, std::size_t allowed,
                  const Command* command) {
  if (words.size() > allowed)
    throw UsageError("extra operand '" + std::string(words[allowed]) + "'", command);
}

// An option that the command does not take, with the commands that do.
void refuse_option(const Invocation& inv, unsigned option, const char* name) {
  const Command& command = *inv.command;
  if (command.options & option) return;
  std::string takers;
  for (const Command& other : commands())
    if (other.options & option) takers.append(takers.empty() ? "" : ", ").append(other.name);
  throw UsageError(std::string(command.name) + ": " + name + " applies to " + takers + " only",
                   &command);
}

}  // namespace

Invocation parse_arguments(int argc, char** argv) {
  Invocation inv;
  std::vector<std::string_view> words = read_options(argc, argv, inv);
  // --help and --version win wherever they stand, whatever else is there.
  if (inv.version) return inv;
  if (inv.help) {
    // The help of the command named, if any: "help COMMAND --help" too.
    if (!words.empty()) inv.command = find_command(words[words[0] == "help" && words.size() > 1]);
    return inv;
  }
  if (!words.empty() && words[0] == "help") {
    refuse_extra(words, 2, nullptr);
    if (words.size() > 1) inv.command = &known_command(words[1]);
    inv.help = true;
    return inv;
  }
  if (words.empty()) throw UsageError("missing command", nullptr);
  inv.command = &known_command(words[0]);
  if (inv.request.lexical) refuse_option(inv, kLexical, "--lexical");
  if (inv.request.has_cwd) refuse_option(inv, kCwd, "--cwd");
  if (inv.request.lexical && inv.request.has_cwd)
    throw UsageError("--cwd has no use with --lexical, which reads no working directory",
                     inv.command);
  auto rest = words.begin() + 1;
  if (!inv.command->operand.empty()) {
    if (rest == words.end())
      throw UsageError(std::string(inv.command->name) + ": missing " +
                           std::string(inv.command->operand),
                       inv.command);
    inv.request.operand = *rest++;
  }
  inv.paths.assign(rest, words.end());
  return inv;
}

// A command with what comes before its PATHs.
std::string synopsis(const Command& command) {
  std::string text(command.name);
  if (command.options & kCwd) text.append(" [--cwd DIR]");
  if (!command.operand.empty()) text.append(" ").append(command.operand);
  return text;
}

std::string tool_help() {
  std::string text =
      "Usage: vornel-path [OPTION]... COMMAND [OPERAND] [PATH]...\n"
      "Lexical operations on POSIX paths, one result per PATH.\n\nCommands:\n";
  for (const Command& command : commands()) {
    std::string name = synopsis(command);
    name.resize(std::max<std::size_t>(name.size() + 1, 23), ' ');
    text.append("  ").append(name).append(command.summary).append("\n");
  }
  text += "  help COMMAND           the help of one command\n\n";
  return text + kOptionsHelp + "\n" + kSchemaHelp;
}

std::string command_help(const Command& command) {
  std::string text = "Usage: vornel-path [OPTION]... " + synopsis(command);
  text.append(" [PATH]...\n").append(command.details).append("\n");
  return text + kOptionsHelp;
}

}  // namespace vornel::tool
