// The reporter that every contract check of the library calls.
#include <fs_path>

#include <cstdio>
#include <cstdlib>

namespace std {

// Weak, so that a definition the process already has serves every caller.
__attribute__((weak)) void __replacement_assert(const char* file, int line,
                                                const char* function,
                                                const char* condition) noexcept {
  std::printf("%s:%d: %s: Assertion '%s' failed.\n", file, line, function,
              condition);
  // abort() does not flush: without this the report is lost whenever
  // standard output is a pipe or a file.
  std::fflush(stdout);
  std::abort();
}

}  // namespace std
