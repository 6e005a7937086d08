// The two sides of the benchmark: libvornel's path and its peer,
// Boost.Filesystem's path, each running the operations of ops.h.
#include <boost/filesystem/path.hpp>
#include <boost/functional/hash.hpp>
#include <fs_path>

#include "ops.h"

namespace vornel::bench {
namespace {

struct Ours : Members<std::filesystem::path> {
  using Path = std::filesystem::path;
  static std::size_t hash(const Path& p) { return std::filesystem::hash_value(p); }
};

struct Peer : Members<boost::filesystem::path> {
  using Path = boost::filesystem::path;
  static std::size_t hash(const Path& p) { return boost::filesystem::hash_value(p); }
};

}  // namespace

std::vector<Op> ours_operations() { return operations<Ours>(); }
std::vector<Op> peer_operations() { return operations<Peer>(); }

}  // namespace vornel::bench
