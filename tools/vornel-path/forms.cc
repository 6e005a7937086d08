// Text-level forms of paths. They follow the library's element rules: runs of
// separators count as one, a leading one is the root, and a trailing one
// ends the path with an empty filename.
#include "forms.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "separators.h"

namespace vornel::tool::forms {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool has_dot_dot(std::string_view text) {
  if (text.find("..") == npos) return false;
  Separators separators(text);
  for (std::size_t i = separators.skip(0); i < text.size();) {
    const std::size_t end = separators.next(i);
    if (text.substr(i, end - i) == "..") return true;
    i = separators.skip(end);
  }
  return false;
}

// A result written in place, into room sized for the longest it can be and
// for the sixteen bytes that put() may write at once.
class Writer {
 public:
  explicit Writer(char* begin) : begin_(begin), end_(begin) {}

  std::size_t size() const { return end_ - begin_; }
  std::string_view written() const { return {begin_, size()}; }
  void put(char c) { *end_++ = c; }
  void put(std::string_view bytes) {
    std::memcpy(end_, bytes.data(), bytes.size());
    end_ += bytes.size();
  }
  // The same for `bytes` that lie in a text of `readable` bytes from their
  // start on: a short name is copied in one move of sixteen bytes.
  void put(std::string_view bytes, std::size_t readable) {
    if (bytes.size() <= 16 && readable >= 16)
      std::memcpy(end_, bytes.data(), 16);
    else
      std::memcpy(end_, bytes.data(), bytes.size());
    end_ += bytes.size();
  }
  // Appends the empty path: a separator after a filename, nothing otherwise.
  void end_in_separator() {
    if (end_ != begin_ && end_[-1] != '/') put('/');
  }
  void drop_separator() { --end_; }
  // Removes the last filename and keeps the separator before it, or cuts
  // back to `floor` bytes.
  void drop_filename(std::size_t floor) {
    if (end_[-1] == '/') --end_;
    while (end_ > begin_ + floor && end_[-1] != '/') --end_;
  }

 private:
  char* begin_;
  char* end_;
};

// Whether no element of a text changes in its normal form: none is "." or
// "..", and no separator is doubled. Each element is checked at the
// separator that closes it, 64 bytes at a time, and the one that the end
// closes last. Bit j of a mask moved back by k tells of byte j - k, in the
// window before where j < k; before the text lie separators, for the first
// element's sake, though none of them doubles one.
bool keeps_its_elements(std::string_view text) {
  const auto back = [](std::uint64_t now, std::uint64_t before, int k) {
    return now << k | before >> (64 - k);
  };
  std::uint64_t separators = 0, dots = 0, opening = ~std::uint64_t(0);
  for (std::size_t at = 0; at < text.size(); at += 64) {
    const auto [s, d] = masks_of(text, at);
    const std::uint64_t doubled = s & back(s, separators, 1);
    const std::uint64_t dot = s & back(d, dots, 1) & back(s, opening, 2);
    const std::uint64_t dot_dot = s & back(d, dots, 1) & back(d, dots, 2) & back(s, opening, 3);
    if (doubled | dot | dot_dot) return false;
    separators = opening = s;
    dots = d;
  }
  const std::string_view last = text.substr(text.rfind('/') + 1);
  return last != "." && last != "..";
}

// normal() for a text shorter than 64 bytes, from the masks of its
// separators and dots: each element is found by two bit scans, and a name
// is copied sixteen bytes at a time out of a padded copy of the text, with
// a separator after it. The last name gives its separator back unless the
// text ends in one.
bool short_normal(std::string_view text, char* room, std::string_view& normal) {
  const std::size_t n = text.size();
  alignas(16) char padded[64 + 16];
  const auto [s, d] = masks_of(text, 0, padded);
  const std::uint64_t in_text = (std::uint64_t(1) << n) - 1;
  const std::uint64_t names = ~s & in_text;
  std::uint64_t starts = names & (s << 1 | 1);  // each element's first byte
  std::uint64_t ends = (s | ~in_text) & names << 1;  // the byte after its last
  const std::uint64_t dot = starts & d & ends >> 1;
  const std::uint64_t dot_dot = starts & d & d >> 1 & ends >> 2;
  if (!(dot | dot_dot | (s & s << 1))) {
    normal = text;
    return true;
  }
  const bool rooted = s & 1;
  if (rooted && !starts) return false;  // a root alone is kept as written
  char* out = room;
  if (rooted) *out++ = '/';
  char* const floor = out;  // what ".." cannot take away
  bool last_is_name = false;
  while (starts) {
    const std::uint64_t first = starts & -starts;
    const std::size_t start = __builtin_ctzll(starts), length = __builtin_ctzll(ends) - start;
    starts &= starts - 1;
    ends &= ends - 1;
    last_is_name = !((dot | dot_dot) & first);
    if (last_is_name) {
      std::memcpy(out, padded + start, 16);
      if (length > 16) std::memcpy(out, padded + start, length);
      out += length;
      *out++ = '/';
    } else if ((dot_dot & first) && out > floor) {
      for (--out; out > floor && out[-1] != '/';) --out;
    } else if ((dot_dot & first) && !rooted) {
      return false;  // the ".." stays
    }
  }
  if (last_is_name && text[n - 1] != '/') --out;
  if (out == room) *out++ = '.';
  normal = {room, std::size_t(out - room)};
  return true;
}

// Where the extension of a filename starts, or npos: "." and "..", and a
// name whose only dot leads it, have none.
std::size_t extension_start(std::string_view name) {
  if (name == "." || name == "..") return npos;
  const std::size_t dot = name.rfind('.');
  return dot == 0 ? npos : dot;
}

// The elements of a path after its root directory.
class Names {
 public:
  explicit Names(std::string_view text)
      : text_(text), separators_(text), at_(separators_.skip(0)),
        trailing_(at_ < text.size() && text.back() == '/') {}

  // The next element and where it starts in the text; false after the last.
  bool next(std::string_view& name, std::size_t& start) {
    if (at_ < text_.size()) {
      const std::size_t end = separators_.next(at_);
      name = text_.substr(at_, end - at_);
      start = at_;
      at_ = separators_.skip(end);
      return true;
    }
    if (!trailing_) return false;
    trailing_ = false;
    name = {};
    start = text_.size();
    return true;
  }

 private:
  std::string_view text_;
  Separators separators_;
  std::size_t at_;
  bool trailing_;  // the empty element after a trailing separator is due
};

// The levels an element of the base goes down: ".." climbs one, while "."
// and the empty element stay where they are.
int levels(std::string_view name) {
  return name == ".." ? -1 : name.empty() || name == "." ? 0 : 1;
}

}  // namespace

std::string_view parent(std::string_view text) {
  const std::size_t last = text.find_last_not_of('/');
  if (last == npos) return text;  // empty, or only a root: its own parent
  if (last + 1 < text.size()) return text.substr(0, last + 1);  // after an empty last element
  const std::size_t slash = text.rfind('/', last);
  if (slash == npos) return {};
  const std::size_t kept = text.find_last_not_of('/', slash);
  return text.substr(0, kept == npos ? 1 : kept + 1);
}

std::string_view filename(std::string_view text) {
  if (text.empty() || text.back() == '/') return {};
  const std::size_t slash = text.rfind('/');
  return text.substr(slash == npos ? 0 : slash + 1);
}

bool normal(std::string_view text, char* room, std::string_view& normal) {
  if (text.size() < 64) return short_normal(text, room, normal);
  if (keeps_its_elements(text)) {
    normal = text;
    return true;
  }
  const bool rooted = text[0] == '/';
  Separators separators(text);
  std::size_t i = separators.skip(0);
  if (rooted && i == text.size()) return false;  // a root alone is kept as written
  Writer result(room);
  if (rooted) result.put('/');
  const std::size_t floor = result.size();  // what ".." cannot take away
  while (i < text.size()) {
    const std::size_t end = separators.next(i);
    const std::string_view name = text.substr(i, end - i);
    if (name == ".") {
      result.end_in_separator();
    } else if (name != "..") {
      result.end_in_separator();
      result.put(name, text.size() - i);
    } else if (result.size() > floor) {
      result.drop_filename(floor);
    } else if (!rooted) {
      return false;  // the ".." stays
    }
    i = separators.skip(end);
    if (end < text.size() && i == text.size()) result.end_in_separator();
  }
  if (result.size() == 0) result.put('.');
  normal = result.written();
  return true;
}

bool normal(std::string_view text, std::string& out) {
  out.resize(normal_room(text));
  std::string_view result;
  if (!normal(text, &out[0], result)) return false;
  if (result.data() == text.data())
    out.assign(text);
  else
    out.resize(result.size());
  return true;
}

bool operand(std::string_view text, std::string& out) {
  if (!normal(text, out)) return false;
  if (out == ".")
    out.clear();
  else if (out.size() > 1 && out.back() == '/')
    out.pop_back();
  return true;
}

bool relative(std::string_view p, std::string_view base, std::string& out) {
  // Operands with ".." relate by the balance of levels; a root alone may be
  // a longer run of separators.
  if (has_dot_dot(p) || has_dot_dot(base) || p.substr(0, 2) == "//" || base.substr(0, 2) == "//")
    return false;
  const bool rooted = !p.empty() && p[0] == '/';
  if (rooted != (!base.empty() && base[0] == '/')) {
    out.clear();
    return true;
  }
  // In operand form every separator ends an element: the shared elements are
  // the shared bytes, cut back to the last place where both paths are at the
  // end of an element.
  const std::size_t most = std::min(p.size(), base.size());
  std::size_t k = 0;
  while (k < most && p[k] == base[k]) ++k;
  const auto at_end = [k](std::string_view text) { return k == text.size() || text[k] == '/'; };
  std::size_t i = k, j = k;
  if (at_end(p) && at_end(base)) {
    i += i < p.size();
    j += j < base.size();
  } else {
    const std::size_t slash = k ? p.rfind('/', k - 1) : npos;
    i = j = slash == npos ? 0 : slash + 1;
  }
  const std::size_t levels =
      j < base.size() ? 1 + std::count(base.begin() + j, base.end(), '/') : 0;
  const std::string_view rest = p.substr(i);
  out.resize(3 * levels + std::max<std::size_t>(rest.size(), 1) + 16);
  Writer result(&out[0]);
  for (std::size_t level = 0; level < levels; ++level) result.put("../");
  if (!rest.empty()) {
    result.put(rest);
  } else if (levels) {
    result.drop_separator();
  } else {
    result.put('.');
  }
  out.resize(result.size());
  return true;
}

std::size_t climb(std::string_view form) {
  std::size_t i = 0;  // where the next "../" would begin
  while (i + 2 <= form.size() && form[i] == '.' && form[i + 1] == '.' &&
         (i + 2 == form.size() || form[i + 2] == '/'))
    i += 3;
  return i / 3;
}

std::string_view shared(std::string_view a, std::string_view b) {
  const std::size_t most = std::min(a.size(), b.size());
  std::size_t k = 0;
  while (k < most && a[k] == b[k]) ++k;
  if ((k < a.size() && a[k] != '/') || (k < b.size() && b[k] != '/')) {
    // Cut back to the end of the last element both hold whole.
    const std::size_t slash = k ? a.rfind('/', k - 1) : npos;
    k = slash == npos ? 0 : slash;
  }
  // In operand form only a root begins with a separator, and stays.
  return a.substr(0, k == 0 && !a.empty() && a[0] == '/' ? 1 : k);
}

bool lies_within(std::string_view inner, std::string_view outer) {
  if (outer.empty() || outer == "/") return true;
  return inner.substr(0, outer.size()) == outer &&
         (inner.size() == outer.size() || inner[outer.size()] == '/');
}

void join(std::string& result, std::string_view text) {
  if (result.empty() || (!text.empty() && text[0] == '/')) {
    result.assign(text);
    return;
  }
  if (result.back() != '/') result += '/';
  result.append(text);
}

std::string_view stem(std::string_view text) {
  const std::string_view name = filename(text);
  return name.substr(0, extension_start(name));
}

std::string_view extension(std::string_view text) {
  const std::string_view name = filename(text);
  const std::size_t start = extension_start(name);
  return start == npos ? std::string_view() : name.substr(start);
}

LexicalBase::LexicalBase(std::string_view base) : rooted_(!base.empty() && base[0] == '/') {
  Names names(base);
  std::string_view name;
  std::size_t start;
  while (names.next(name, start)) names_.push_back(name);
}

std::size_t LexicalBase::room(std::string_view p) const { return 3 * names_.size() + p.size() + 1; }

std::string_view LexicalBase::relative(std::string_view p, char* room) const {
  if ((!p.empty() && p[0] == '/') != rooted_) return {};  // one root directory: none
  // The leading elements both share; root directories always match.
  Names names(p);
  std::string_view name;
  std::size_t start = p.size();
  bool more = names.next(name, start);
  std::size_t k = 0;
  while (more && k < names_.size() && name == names_[k]) {
    ++k;
    more = names.next(name, start);
  }
  // A ".." of the base that climbs above what they share leaves a directory
  // no text of p can name: there is no relative form.
  long down = 0;
  for (std::size_t j = k; j < names_.size(); ++j)
    if ((down += levels(names_[j])) < 0) return {};
  if (down == 0 && (!more || name.empty())) return ".";
  char* out = room;
  for (long level = 0; level < down; ++level, out += 3) std::memcpy(out, "../", 3);
  if (!more) return {room, std::size_t(out - 1 - room)};
  // The rest of p with each run of separators written as one: the bytes
  // from `kept` to the end of the last element so far, moved at each run.
  std::size_t kept = start, end = start + name.size();
  while (names.next(name, start)) {
    if (start > end + 1) {
      std::memcpy(out, p.data() + kept, end + 1 - kept);
      out += end + 1 - kept;
      kept = start;
    }
    end = start + name.size();
  }
  std::memcpy(out, p.data() + kept, end - kept);
  return {room, std::size_t(out + (end - kept) - room)};
}

}  // namespace vornel::tool::forms
