// Proves that the path symbols a test binary calls resolve into our
// libvornel.so: the system runtime defines the same names.
#ifndef VORNEL_TESTS_SUPPORT_BINDING_GUARD_H
#define VORNEL_TESTS_SUPPORT_BINDING_GUARD_H

#include <string>
#include <vector>

namespace vornel::test {

// The path names this binary calls that the process binds elsewhere than in
// libvornel.so (empty when every one binds to it).
std::vector<std::string> misbound_exports();

// The file of the loaded libvornel.so.
std::string library_file();

}  // namespace vornel::test

#endif  // VORNEL_TESTS_SUPPORT_BINDING_GUARD_H
