// Checks with dladdr where each exported name binds in this process.
#include "support/binding_guard.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <fs_path>

namespace vornel::test {
namespace {

const char* const kExportedNames[] = {
#include "exported_names.inc"
};

bool is_ours(const char* file) {
  const char* base = std::strrchr(file, '/');
  return std::strcmp(base ? base + 1 : file, "libvornel.so") == 0;
}

}  // namespace

std::string library_file() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&std::filesystem::hash_value), &info) ||
      !info.dli_fname)
    return {};
  return info.dli_fname;
}

std::vector<std::string> misbound_exports() {
  std::vector<std::string> misbound;
  void* ours = dlopen("libvornel.so", RTLD_NOW | RTLD_NOLOAD);
  if (!ours) return {"libvornel.so is not loaded"};
  for (const char* name : kExportedNames) {
    // The runtime's string and stream templates may be bound to any copy.
    if (!std::strstr(name, "10filesystem")) continue;
    // A handle's lookup also searches the library's own dependencies, the
    // runtime among them: skip names that the library does not define.
    void* defined_here = dlsym(ours, name);
    Dl_info info{};
    if (!defined_here || !dladdr(defined_here, &info) || !is_ours(info.dli_fname))
      continue;
    void* bound = dlsym(RTLD_DEFAULT, name);
    Dl_info bound_info{};
    if (!bound || !dladdr(bound, &bound_info) || !is_ours(bound_info.dli_fname))
      misbound.push_back(name);
  }
  dlclose(ours);
  return misbound;
}

}  // namespace vornel::test
