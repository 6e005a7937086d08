// Text-level forms of paths. They follow the library's element rules: runs of
// separators count as one, a leading one is the root, and a trailing one
// ends the path with an empty filename.
#include "forms.h"

#include <algorithm>
#include <cstring>

namespace vornel::tool::forms {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// The end of the element that starts at `i`. Elements are short: a loop
// beats a call to memchr.
std::size_t element_end(std::string_view text, std::size_t i) {
  while (i < text.size() && text[i] != '/') ++i;
  return i;
}

// The start of the element after the one that ends at `end`.
std::size_t next_element(std::string_view text, std::size_t end) {
  while (end < text.size() && text[end] == '/') ++end;
  return end;
}

bool has_dot_dot(std::string_view text) {
  if (text.find("..") == npos) return false;
  for (std::size_t i = next_element(text, 0); i < text.size();) {
    const std::size_t end = element_end(text, i);
    if (text.substr(i, end - i) == "..") return true;
    i = next_element(text, end);
  }
  return false;
}

// A result written in place into a string sized for the longest it can be.
class Writer {
 public:
  Writer(std::string& out, std::size_t most) : out_(out) {
    out.resize(most);
    begin_ = end_ = &out[0];
  }
  ~Writer() { out_.resize(end_ - begin_); }

  std::size_t size() const { return end_ - begin_; }
  void put(char c) { *end_++ = c; }
  void put(std::string_view bytes) {
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
  std::string& out_;
  char* begin_;
  char* end_;
};

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

bool normal(std::string_view text, std::string& out) {
  const bool rooted = !text.empty() && text[0] == '/';
  std::size_t i = next_element(text, 0);
  if (rooted && i == text.size()) return false;  // a root alone is kept as written
  // The normal form is never longer than the text, or than "." for it.
  Writer result(out, text.size() + 1);
  if (rooted) result.put('/');
  const std::size_t floor = result.size();  // what ".." cannot take away
  while (i < text.size()) {
    const std::size_t end = element_end(text, i);
    const std::string_view name = text.substr(i, end - i);
    if (name == ".") {
      result.end_in_separator();
    } else if (name != "..") {
      result.end_in_separator();
      result.put(name);
    } else if (result.size() > floor) {
      result.drop_filename(floor);
    } else if (!rooted) {
      return false;  // the ".." stays
    }
    i = next_element(text, end);
    if (end < text.size() && i == text.size()) result.end_in_separator();
  }
  if (result.size() == 0 && !text.empty()) result.put('.');
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
  Writer result(out, 3 * levels + std::max<std::size_t>(rest.size(), 1));
  for (std::size_t level = 0; level < levels; ++level) result.put("../");
  if (!rest.empty()) {
    result.put(rest);
  } else if (levels) {
    result.drop_separator();
  } else {
    result.put('.');
  }
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

}  // namespace vornel::tool::forms
