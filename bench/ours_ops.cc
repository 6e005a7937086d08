// The benchmarked operations on libvornel's path.
#include <fs_path>

#include "ops.h"

namespace vornel::bench {
namespace {

struct Ours {
  using Path = std::filesystem::path;
  static std::size_t hash(const Path& p) { return std::filesystem::hash_value(p); }
};

}  // namespace

std::vector<Op> ours_operations() { return operations<Ours>(); }

}  // namespace vornel::bench
