// The main of every test binary: refuses to run tests against any path
// implementation but ours.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/binding_guard.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const auto misbound = vornel::test::misbound_exports();
  if (!misbound.empty()) {
    for (const auto& name : misbound)
      std::fprintf(stderr, "binding guard: %s does not bind into libvornel.so\n",
                   name.c_str());
    return 1;
  }
  return RUN_ALL_TESTS();
}
