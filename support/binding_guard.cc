// Checks with dladdr where each path name binds, for the exported names of
// the one list and for the names this executable's own link left undefined.
#include "support/binding_guard.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vornel::guard {
namespace {

const char* const kExportedNames[] = {
#include "exported_names.inc"
};

bool is_path_name(const std::string& name) {
  return name.find("St10filesystem") != std::string::npos;
}

// The file that holds the definition `name` binds to in this process, or "".
std::string file_serving(const std::string& name) {
  Dl_info info{};
  void* bound = dlsym(RTLD_DEFAULT, name.c_str());
  return bound && dladdr(bound, &info) && info.dli_fname ? info.dli_fname : "";
}

bool is_ours(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  return file.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos,
                      "libvornel.so") == 0;
}

// The names this executable leaves for the loader to bind: its undefined
// dynamic symbols.
std::vector<std::string> undefined_dynamic_names() {
  std::ifstream in("/proc/self/exe", std::ios::binary);
  const std::string image((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::string> names;
  if (image.size() < sizeof(Elf64_Ehdr)) return names;
  const auto* eh = reinterpret_cast<const Elf64_Ehdr*>(image.data());
  if (eh->e_shoff + std::size_t(eh->e_shnum) * sizeof(Elf64_Shdr) > image.size())
    return names;
  const auto* sh = reinterpret_cast<const Elf64_Shdr*>(image.data() + eh->e_shoff);
  for (int i = 0; i < eh->e_shnum; ++i) {
    if (sh[i].sh_type != SHT_DYNSYM || sh[i].sh_link >= eh->e_shnum) continue;
    const Elf64_Shdr& strtab = sh[sh[i].sh_link];
    const auto* sym = reinterpret_cast<const Elf64_Sym*>(image.data() + sh[i].sh_offset);
    for (std::size_t k = 0; k < sh[i].sh_size / sizeof(Elf64_Sym); ++k)
      if (sym[k].st_shndx == SHN_UNDEF && sym[k].st_name)
        names.emplace_back(image.data() + strtab.sh_offset + sym[k].st_name);
  }
  return names;
}

}  // namespace

std::vector<std::string> misbound_path_names() {
  std::vector<std::string> names = undefined_dynamic_names();
  if (names.empty()) return {"(cannot read this executable's dynamic symbols)"};
  // Exported objects are left out: an executable that uses the error's type
  // information or virtual table holds its own copy, which the library then
  // binds to as well.
  for (const char* name : kExportedNames)
    if (std::strncmp(name, "_ZT", 3) != 0) names.emplace_back(name);
  std::vector<std::string> misbound;
  for (const std::string& name : names)
    if (is_path_name(name) && !is_ours(file_serving(name))) misbound.push_back(name);
  return misbound;
}

bool bindings_are_ours(const char* program) {
  const std::vector<std::string> misbound = misbound_path_names();
  for (const std::string& name : misbound)
    std::fprintf(stderr, "%s: binding guard: %s does not bind into libvornel.so\n", program,
                 name.c_str());
  return misbound.empty();
}

std::string path_library_file() {
  for (const char* name : kExportedNames)
    if (is_path_name(name)) {
      const std::string file = file_serving(name);
      if (!file.empty()) return file;
    }
  return "";
}

std::string file_holding(const void* address) {
  Dl_info info{};
  link_map* object = nullptr;
  if (!dladdr1(address, &info, reinterpret_cast<void**>(&object), RTLD_DL_LINKMAP) || !object)
    return "";
  // The loader knows the main program only by the name it was started as.
  if (object->l_name[0] != '\0') return object->l_name;
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self);
  return length > 0 ? std::string(self, length) : std::string(info.dli_fname ? info.dli_fname : "");
}

}  // namespace vornel::guard
