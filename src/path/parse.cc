// The split that rebuilds a path's kind and component list from its text, and
// the one-component path. The parser's steps are in internal.h.
#include "internal.h"

namespace std::filesystem::__cxx11 {

path::path(std::string_view __s, _Type __type) : _M_pathname(__s) {
  VORNEL_CHECK(__type != _Type::_Multi);
  _M_cmpts.type(__type);
}

void path::_M_split_cmpts() {
  _M_cmpts.clear();
  const std::size_t n = _M_pathname.size();
  // A text without separators is one filename, and no list at all.
  if (n == 0 || !std::memchr(_M_pathname.data(), '/', n))
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
  const char* const data = p._M_pathname.data();
  _Parser parser(p._M_pathname, 0);
  // Unlike added text, a whole text empties the batch into the block each
  // time it fills, the block growing by half.
  ParseBatch batch;
  auto append_batch = [&] {
    Filler fill(list);
    for (int i = 0; i < batch.size(); ++i) {
      const cmpt& c = batch[i];
      fill.add(c.text, c.kind, std::size_t(c.text.data() - data));
    }
    batch.clear();
  };

  try {
    if (cmpt root = parser.root_step(); root.valid()) batch.push(root);
    for (cmpt c = parser.next(); c.valid(); c = parser.next()) {
      batch.push(c);
      if (!batch.full()) continue;
      c = parser.next();
      list.type(_Type::_Multi);
      list.reserve(list.size() + ParseBatch::capacity, false);
      append_batch();
      if (!c.valid()) return;
      batch.push(c);
    }
    if (batch.size() == 1 && list.empty()) {
      list.type(batch[0].kind);
      return;
    }
    list.type(_Type::_Multi);
    list.reserve(list.size() + batch.size(), true);
    append_batch();
  } catch (...) {
    // The text is untouched; leave a list that is valid if not complete.
    list.clear();
    list.type(_Type::_Filename);
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
