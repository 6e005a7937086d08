// The parser that scans path text one component at a time, and the split that
// rebuilds a path's kind and component list from its text.
#include "internal.h"

namespace std::filesystem::__cxx11 {

path::path(std::string_view __s, _Type __type) : _M_pathname(__s) {
  VORNEL_CHECK(__type != _Type::_Multi);
  _M_cmpts.type(__type);
}

path::_Parser::cmpt path::_Parser::root_step() noexcept {
  cmpt root;
  if (input.empty() || !is_dir_sep(input[0])) return root;
  root.text = input.substr(0, 1);
  root.kind = _Type::_Rootdir;
  cursor = input.find_first_not_of('/', 1);
  if (cursor == npos) cursor = input.size();
  prev_type = _Type::_Rootdir;
  return root;
}

path::_Parser::cmpt path::_Parser::next() noexcept {
  cmpt found;
  if (cursor == npos) {
    prev_type = _Type::_Multi;
    return found;
  }
  const std::size_t entry = cursor;
  const std::size_t n = input.size();
  std::size_t p = entry;
  while (p < n && is_dir_sep(input[p])) ++p;
  if (p < n) {
    const void* sep = std::memchr(input.data() + p, '/', n - p);
    const std::size_t q =
        sep ? std::size_t(static_cast<const char*>(sep) - input.data()) : npos;
    found.text = input.substr(p, q == npos ? npos : q - p);
    found.kind = _Type::_Filename;
    cursor = q;
    prev_type = _Type::_Filename;
    return found;
  }
  cursor = npos;
  if (prev_type == _Type::_Filename || (!input.empty() && entry == 0)) {
    VORNEL_CHECK_AS(n > 0, "this->_M_len > 0");
    VORNEL_CHECK(is_dir_sep(input.back()));
    found.text = input.substr(n);
    found.kind = _Type::_Filename;
  }
  prev_type = found.kind;
  return found;
}

namespace {

// Components gathered as views before the block is reserved for them.
struct Batch {
  static constexpr int capacity = 64;
  path::_Parser::cmpt entries[capacity];
  int size = 0;
};

}  // namespace

void path::_M_split_cmpts() {
  _M_cmpts.clear();
  if (_M_pathname.empty()) {
    _M_cmpts.type(_Type::_Filename);
    return;
  }
  if (_M_pathname.size() == 1 && _M_pathname[0] == preferred_separator) {
    _M_cmpts.type(_Type::_Rootdir);
    return;
  }

  _Parser parser(_M_pathname, 0);
  Batch batch;
  auto append_batch = [&] {
    for (int i = 0; i < batch.size; ++i) {
      const _Parser::cmpt& c = batch.entries[i];
      _Detail::emplace_back(_M_cmpts, c.text, c.kind, parser.position(c));
    }
    batch.size = 0;
  };

  try {
    if (auto root = parser.root_step(); root.valid()) batch.entries[batch.size++] = root;
    for (auto c = parser.next(); c.valid(); c = parser.next()) {
      batch.entries[batch.size++] = c;
      if (batch.size < Batch::capacity) continue;
      c = parser.next();
      _M_cmpts.type(_Type::_Multi);
      _M_cmpts.reserve(_M_cmpts.size() + Batch::capacity, false);
      append_batch();
      if (!c.valid()) return;
      batch.entries[batch.size++] = c;
    }
    if (batch.size == 1 && _M_cmpts.empty()) {
      _M_cmpts.type(batch.entries[0].kind);
      return;
    }
    _M_cmpts.type(_Type::_Multi);
    _M_cmpts.reserve(_M_cmpts.size() + batch.size, true);
    append_batch();
  } catch (...) {
    // The text is untouched; leave a list that is valid if not complete.
    _M_cmpts.clear();
    _M_cmpts.type(_Type::_Filename);
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
