// Checks with dladdr where each exported path name binds in this process.
// Stricter than the tests' guard: a name that libvornel.so lacks counts as
// misbound, since the runtime's definition would then be the one measured.
#include "binding.h"

#include <dlfcn.h>

#include <cstring>

namespace vornel::bench {
namespace {

const char* const kExportedNames[] = {
#include "exported_names.inc"
};

bool in_vornel(void* address) {
  Dl_info info{};
  if (!address || !dladdr(address, &info) || !info.dli_fname) return false;
  const char* base = std::strrchr(info.dli_fname, '/');
  return std::strcmp(base ? base + 1 : info.dli_fname, "libvornel.so") == 0;
}

}  // namespace

std::vector<std::string> misbound_path_names() {
  std::vector<std::string> misbound;
  for (const char* name : kExportedNames) {
    if (!std::strstr(name, "10filesystem")) continue;
    if (!in_vornel(dlsym(RTLD_DEFAULT, name))) misbound.push_back(name);
  }
  return misbound;
}

}  // namespace vornel::bench
