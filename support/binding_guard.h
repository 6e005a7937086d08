// The binding guard: proves that the path names this process calls resolve
// into our libvornel.so, since the system runtime defines the same names.
// Every test, benchmark and fuzz target runs it before its first call, and
// vornel-path --version names the file that holds its path operations.
#ifndef VORNEL_SUPPORT_BINDING_GUARD_H
#define VORNEL_SUPPORT_BINDING_GUARD_H

#include <string>
#include <vector>

namespace vornel::guard {

// The path names that this process binds elsewhere than in a libvornel.so:
// every exported one, and every one this executable leaves to the loader.
// Empty when all of them bind into libvornel.so.
std::vector<std::string> misbound_path_names();

// Writes each misbound path name to standard error, prefixed by `program`;
// true when there is none.
bool bindings_are_ours(const char* program);

// The file that serves the path operations in this process, or "" when the
// process binds none of them.
std::string path_library_file();

// The file that holds the code at `address`, or "" when none does. Given a
// function that this program calls, it names where the call lands: this
// program's own file when the function is compiled in.
std::string file_holding(const void* address);

}  // namespace vornel::guard

#endif  // VORNEL_SUPPORT_BINDING_GUARD_H
