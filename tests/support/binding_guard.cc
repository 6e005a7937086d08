// Checks with dladdr where each path name that this binary calls binds.
#include "support/binding_guard.h"

#include <dlfcn.h>
#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace vornel::test {
namespace {

bool is_ours(const char* file) {
  const char* base = std::strrchr(file, '/');
  return std::strcmp(base ? base + 1 : file, "libvornel.so") == 0;
}

bool is_path_name(const char* name) { return std::strstr(name, "10filesystem"); }

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

std::string library_file() {
  void* ours = dlopen("libvornel.so", RTLD_NOW | RTLD_NOLOAD);
  if (!ours) return {};
  Dl_info info{};
  void* symbol = dlsym(ours, "_ZNSt10filesystem7__cxx114path14_M_split_cmptsEv");
  std::string file = symbol && dladdr(symbol, &info) && info.dli_fname ? info.dli_fname : "";
  dlclose(ours);
  return file;
}

std::vector<std::string> misbound_exports() {
  std::vector<std::string> misbound;
  const auto names = undefined_dynamic_names();
  if (names.empty()) return {"cannot read this executable's dynamic symbols"};
  for (const std::string& name : names) {
    if (!is_path_name(name.c_str())) continue;
    void* bound = dlsym(RTLD_DEFAULT, name.c_str());
    Dl_info info{};
    if (!bound || !dladdr(bound, &info) || !info.dli_fname || !is_ours(info.dli_fname))
      misbound.push_back(name);
  }
  return misbound;
}

}  // namespace vornel::test
