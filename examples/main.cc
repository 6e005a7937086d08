// Takes a path apart with libvornel and says which library file served the
// calls: the system runtime exports the same names, and the order in which
// libraries are linked decides which one a program binds.
#include <dlfcn.h>

#include <cstdio>
#include <fs_path>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  const fs::path p = argc > 1 ? argv[1] : "/usr/lib/../include/./fs_path";
  std::printf("path:        %s\n", p.c_str());
  std::printf("normal:      %s\n", p.lexically_normal().c_str());
  std::printf("parent:      %s\n", p.parent_path().c_str());
  std::printf("filename:    %s\n", p.filename().c_str());
  std::printf("from /usr:   %s\n", p.lexically_relative("/usr").c_str());
  std::printf("components:");
  for (const fs::path& part : p) std::printf(" [%s]", part.c_str());

  Dl_info info{};
  const bool found = dladdr(reinterpret_cast<void*>(&fs::hash_value), &info) && info.dli_fname;
  std::printf("\nlibrary:     %s\n", found ? info.dli_fname : "(unknown)");
  return found ? 0 : 1;
}
