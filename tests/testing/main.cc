// The main of every test binary: refuses to run tests against any path
// implementation but ours.
#include <gtest/gtest.h>

#include "support/binding_guard.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!vornel::guard::bindings_are_ours(argv[0])) return 1;
  return RUN_ALL_TESTS();
}
