// vornel-path: the lexical path operations of libvornel.so for the shell.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fs_path>
#include <new>
#include <string>

#include "args.h"
#include "support/binding_guard.h"

using namespace vornel::tool;

namespace {

int fail(const char* what, int error) {
  std::fprintf(stderr, "vornel-path: %s: %s\n", what, std::strerror(error));
  return 2;
}

int run(const Invocation& inv) {
  if (inv.paths.empty() && isatty(STDIN_FILENO))
    throw UsageError(std::string(inv.command->name) +
                         ": no PATH given, and standard input is a terminal",
                     inv.command);
  Output out(STDOUT_FILENO, inv.json, inv.output_terminator);
  // Results are not held back while the input waits for its writer.
  PathSource paths(inv.paths, inv.input_terminator, [&out] { out.flush_records(); });
  int status;
  try {
    status = run_command(*inv.command, inv.request, paths, out);
  } catch (...) {
    // The records answered before the failure stand; the one it cut short
    // has no result.
    out.abandon();
    out.flush();
    throw;
  }
  out.flush();
  if (!out.ok()) return fail("writing standard output", out.error());
  if (paths.error()) return fail("reading standard input", paths.error());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Invocation inv = parse_arguments(argc, argv);
    if (inv.version) {
      // Where a call of the path library lands: this file, which has the
      // library's own code compiled in, never the runtime's.
      const std::string file = vornel::guard::file_holding(
          reinterpret_cast<const void*>(&std::filesystem::hash_value));
      std::printf("vornel-path %s\npath operations: %s\n", VORNEL_VERSION,
                  file.empty() ? "(unknown)" : file.c_str());
    } else if (inv.help) {
      std::fputs((inv.command ? command_help(*inv.command) : tool_help()).c_str(), stdout);
    } else {
      return run(inv);
    }
    return std::fflush(stdout) == 0 ? 0 : fail("writing standard output", errno);
  } catch (const UsageError& e) {
    const std::string help = e.command ? std::string(e.command->name) + " --help" : "--help";
    std::fprintf(stderr, "vornel-path: %s (see 'vornel-path %s')\n", e.what(), help.c_str());
    return 2;
  } catch (const std::bad_alloc&) {
    std::fputs("vornel-path: out of memory\n", stderr);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vornel-path: %s\n", e.what());
    return 2;
  }
}
