// The parser that scans path text one component at a time, and the split that
// rebuilds a path's kind and component list from its text.
#include "internal.h"

namespace std::filesystem::__cxx11 {

path::path(std::string_view __s, _Type __type) : _M_pathname(__s) {
  VORNEL_CHECK(__type != _Type::_Multi);
  _M_cmpts.type(__type);
}

namespace {

using cmpt = path::_Parser::cmpt;

// The first position at or after `from` that is not a separator, or n.
inline std::size_t skip_separators(const char* data, std::size_t from,
                                   std::size_t n) noexcept {
  while (from < n && is_dir_sep(data[from])) ++from;
  return from;
}

// The parser's steps, written once here so that the split can inline them.
inline cmpt root_step(path::_Parser& p) noexcept {
  cmpt root;
  if (p.input.empty() || !is_dir_sep(p.input[0])) return root;
  root.text = std::string_view(p.input.data(), 1);
  root.kind = Type::_Rootdir;
  p.cursor = skip_separators(p.input.data(), 1, p.input.size());
  p.prev_type = Type::_Rootdir;
  return root;
}

inline cmpt next_step(path::_Parser& p) noexcept {
  cmpt found;
  if (p.cursor == npos) {
    p.prev_type = Type::_Multi;
    return found;
  }
  const std::size_t entry = p.cursor;
  const char* const data = p.input.data();
  const std::size_t n = p.input.size();
  const std::size_t start = skip_separators(data, entry, n);
  if (start < n) {
    const void* sep = std::memchr(data + start, '/', n - start);
    const std::size_t end = sep ? std::size_t(static_cast<const char*>(sep) - data) : n;
    found.text = std::string_view(data + start, end - start);
    found.kind = Type::_Filename;
    p.cursor = sep ? end : npos;
    p.prev_type = Type::_Filename;
    return found;
  }
  p.cursor = npos;
  if (p.prev_type == Type::_Filename || (n != 0 && entry == 0)) {
    VORNEL_CHECK_AS(n > 0, "this->_M_len > 0");
    VORNEL_CHECK(is_dir_sep(p.input.back()));
    found.text = std::string_view(data + n, 0);
    found.kind = Type::_Filename;
  }
  p.prev_type = found.kind;
  return found;
}

}  // namespace

path::_Parser::cmpt path::_Parser::root_step() noexcept {
  return std::filesystem::__cxx11::root_step(*this);
}

path::_Parser::cmpt path::_Parser::next() noexcept { return next_step(*this); }

void path::_M_split_cmpts() {
  _M_cmpts.clear();
  const std::size_t n = _M_pathname.size();
  const char* const data = _M_pathname.data();
  // A text without separators is one filename, and no list at all.
  if (n == 0 || !std::memchr(data, '/', n)) {
    _M_cmpts.type(_Type::_Filename);
    return;
  }
  if (n == 1) {
    _M_cmpts.type(_Type::_Rootdir);
    return;
  }

  _Parser parser(_M_pathname, 0);
  // Unlike added text, a whole text empties the batch into the block each
  // time it fills, the block growing by half.
  ParseBatch batch;
  auto append_batch = [&] {
    for (int i = 0; i < batch.size(); ++i) {
      const cmpt& c = batch[i];
      _Detail::emplace_back(_M_cmpts, c.text, c.kind, std::size_t(c.text.data() - data));
    }
    batch.clear();
  };

  try {
    if (cmpt root = root_step(parser); root.valid()) batch.push(root);
    for (cmpt c = next_step(parser); c.valid(); c = next_step(parser)) {
      batch.push(c);
      if (!batch.full()) continue;
      c = next_step(parser);
      _M_cmpts.type(_Type::_Multi);
      _M_cmpts.reserve(_M_cmpts.size() + ParseBatch::capacity, false);
      append_batch();
      if (!c.valid()) return;
      batch.push(c);
    }
    if (batch.size() == 1 && _M_cmpts.empty()) {
      _M_cmpts.type(batch[0].kind);
      return;
    }
    _M_cmpts.type(_Type::_Multi);
    _M_cmpts.reserve(_M_cmpts.size() + batch.size(), true);
    append_batch();
  } catch (...) {
    // The text is untouched; leave a list that is valid if not complete.
    _M_cmpts.clear();
    _M_cmpts.type(_Type::_Filename);
    throw;
  }
}

}  // namespace std::filesystem::__cxx11
