// The same operations on the peer, Boost.Filesystem's path.
#include <boost/filesystem/path.hpp>
#include <boost/functional/hash.hpp>

#include "ops.h"

namespace vornel::bench {
namespace {

struct Peer {
  using Path = boost::filesystem::path;
  static std::size_t hash(const Path& p) { return boost::filesystem::hash_value(p); }
};

}  // namespace

std::vector<Op> peer_operations() { return operations<Peer>(); }

}  // namespace vornel::bench
