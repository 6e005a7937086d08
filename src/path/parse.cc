// The split that rebuilds a path's kind and component list from its text, and
// the one-component path.
#include <cstring>

#include "batch.h"
#include "detail.h"
#include "fill.h"
#include "parser.h"

namespace std::filesystem::__cxx11 {

path::path(std::string_view __s, _Type __type) : _M_pathname(__s) {
  __vornel_check(__type != _Type::_Multi);
  _M_cmpts.type(__type);
}

void path::_M_split_cmpts() {
  _M_cmpts.clear();
  const std::size_t n = _M_pathname.size();
  // A text without separators is one filename, and no list at all.
  if (n == 0 || !std::memchr(_M_pathname.data(), vornel::separator, n))
    _M_cmpts.type(_Type::_Filename);
  else if (n == 1)
    _M_cmpts.type(_Type::_Rootdir);
  else
    _Detail::split_list(*this);
}

// Kept out of line, so that a text of one component is split without this
// function's frame and its batch.
[[gnu::noinline]] void path::_Detail::split_list(path& p) {
  using cmpt = _Parser::cmpt;
  _List& list = p._M_cmpts;
  _Parser parser(p._M_pathname, 0);
  // Unlike added text, a whole text empties the batch into the block each
  // time it fills, the block growing by half.
  vornel::ParseBatch batch;
  try {
    if (cmpt root = parser.root_step(); root.valid()) batch.push(root);
    for (cmpt c = parser.next(); c.valid(); c = parser.next()) {
      batch.push(c);
      if (!batch.full()) continue;
      c = parser.next();
      list.type(_Type::_Multi);
      list.reserve(list.size() + vornel::ParseBatch::capacity, false);
      Filler::add_batch(list, parser, batch);
      batch.clear();
      if (!c.valid()) return;
      batch.push(c);
    }
    if (batch.size() == 1 && list.empty()) {
      list.type(batch[0].kind);
      return;
    }
    list.type(_Type::_Multi);
    list.reserve(list.size() + batch.size(), true);
    Filler::add_batch(list, parser, batch);
  } catch (...) {
    // The text is untouched; leave a list that is valid if not complete.
    list.clear();
    list.type(_Type::_Filename);
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
