// The data-level reader of paths that the tests' tables, the benchmark's
// start-up check and the fuzz targets' checks use.
#include "support/raw_state.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace vornel::test {
namespace {

// The binary layout of a path, its component and its block header.
struct MirrorPath {
  std::string text;
  std::uintptr_t word;
};
struct MirrorCmpt {
  MirrorPath path;
  std::size_t pos;
};
struct MirrorBlock {
  int size;
  int capacity;
};
static_assert(sizeof(MirrorPath) == sizeof(path), "a path is text and a word");
static_assert(sizeof(MirrorCmpt) == 48, "a component is a path and a position");

const MirrorPath& mirror(const path& p) {
  return *reinterpret_cast<const MirrorPath*>(&p);
}

const MirrorBlock* block(const MirrorPath& m) {
  return reinterpret_cast<const MirrorBlock*>(m.word & ~std::uintptr_t(3));
}

const MirrorCmpt* components(const MirrorBlock* b) {
  return reinterpret_cast<const MirrorCmpt*>(b + 1);
}

const char kKindLetters[] = "MNRF";

}  // namespace

RawPath raw(const path& p) {
  const MirrorPath& m = mirror(p);
  RawPath r{m.text, int(m.word & 3), false, 0, 0, {}};
  if (const MirrorBlock* b = block(m)) {
    r.has_block = true;
    r.size = b->size;
    r.capacity = b->capacity;
    for (int i = 0; i < b->size; ++i) {
      const MirrorCmpt& c = components(b)[i];
      r.cmpts.push_back(RawCmpt{c.path.text, int(c.path.word & 3), c.pos,
                                block(c.path) != nullptr});
    }
  }
  return r;
}

std::string describe(const path& p) {
  const RawPath r = raw(p);
  std::string out(1, kKindLetters[r.kind]);
  for (const RawCmpt& c : r.cmpts) {
    out += ' ';
    out += c.text;
    out += ':';
    out += kKindLetters[c.kind];
    out += '@';
    out += std::to_string(c.pos);
  }
  return out;
}

std::string state(const path& p) { return "[" + p.native() + "] " + describe(p); }

int capacity(const path& p) { return raw(p).capacity; }

std::string invariant_violation(const path& p) {
  const RawPath r = raw(p);
  std::ostringstream why;
  if (r.size < 0 || r.size > r.capacity) why << "size " << r.size << " capacity " << r.capacity << "; ";
  if (r.kind == 0 && r.size == 0) why << "_Multi without components; ";
  if (r.kind != 0 && r.size != 0) why << "components under kind " << r.kind << "; ";
  if (r.text.empty() && r.kind != 3) why << "empty text of kind " << r.kind << "; ";
  std::size_t end_of_prev = 0;
  for (std::size_t i = 0; i < r.cmpts.size(); ++i) {
    const RawCmpt& c = r.cmpts[i];
    if (c.has_block) why << "component " << i << " owns a block; ";
    if (c.kind != 2 && c.kind != 3) why << "component " << i << " of kind " << c.kind << "; ";
    if (c.pos > r.text.size() || r.text.compare(c.pos, c.text.size(), c.text) != 0)
      why << "component " << i << " '" << c.text << "' not at " << c.pos << "; ";
    if (i > 0 && c.pos < end_of_prev) why << "component " << i << " out of order; ";
    if (c.kind == 2 && (i != 0 || c.text.empty() ||
                        c.text.find_first_not_of('/') != std::string::npos))
      why << "root directory at " << i << "; ";
    if (c.kind == 3 && c.text.find('/') != std::string::npos)
      why << "separator inside filename " << i << "; ";
    if (c.kind == 3 && c.text.empty() &&
        (i + 1 != r.cmpts.size() || c.pos != r.text.size() || r.text.back() != '/'))
      why << "empty filename " << i << " not at a trailing separator; ";
    end_of_prev = c.pos + c.text.size();
  }
  return why.str();
}

std::string printable(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += char(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    }
  }
  return out;
}

std::string& text_of(path& p) { return reinterpret_cast<MirrorPath&>(p).text; }

}  // namespace vornel::test
