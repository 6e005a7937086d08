// Checks the binding guard itself: this program defines one exported path
// function of its own, which the process then binds in place of
// libvornel.so's, and the guard must name exactly that one.
#include <cstdio>
#include <string>

#include "support/binding_guard.h"

namespace {

const char kInterposed[] = "_ZNSt10filesystem7__cxx114path14_M_split_cmptsEv";

}  // namespace

// path::_M_split_cmpts() under its exported name; never called.
extern "C" void _ZNSt10filesystem7__cxx114path14_M_split_cmptsEv() {}

int main() {
  const std::vector<std::string> misbound = vornel::guard::misbound_path_names();
  for (const std::string& name : misbound) std::printf("misbound: %s\n", name.c_str());
  const bool named = misbound.size() == 1 && misbound[0] == kInterposed;
  std::printf(named ? "the guard names the interposed function alone\n"
                    : "the guard should name %s alone\n",
              kInterposed);
  return named ? 0 : 1;
}
