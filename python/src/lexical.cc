// Stems, extensions and relative forms from the text, by the library's
// element rules: runs of separators count as one, a leading one is the root
// directory, and a trailing one ends the path with an empty filename.
#include "lexical.h"

#include <algorithm>
#include <cstring>

#include "vornel-path/forms.h"
#include "vornel-path/separators.h"

namespace vornel::python::lexical {
namespace {

constexpr std::size_t npos = std::string_view::npos;

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
  tool::Separators separators_;
  std::size_t at_;
  bool trailing_;  // the empty element after a trailing separator is due
};

// The levels an element of the base goes down: ".." climbs one, while "."
// and the empty element stay where they are.
int levels(std::string_view name) {
  return name == ".." ? -1 : name.empty() || name == "." ? 0 : 1;
}

}  // namespace

std::string_view stem(std::string_view text) {
  const std::string_view name = tool::forms::filename(text);
  return name.substr(0, extension_start(name));
}

std::string_view extension(std::string_view text) {
  const std::string_view name = tool::forms::filename(text);
  const std::size_t start = extension_start(name);
  return start == npos ? std::string_view() : name.substr(start);
}

Relation::Relation(std::string_view base) : rooted_(!base.empty() && base[0] == '/') {
  Names names(base);
  std::string_view name;
  std::size_t start;
  while (names.next(name, start)) names_.push_back(name);
}

std::size_t Relation::room(std::string_view p) const { return 3 * names_.size() + p.size() + 1; }

std::string_view Relation::relative(std::string_view p, char* room) const {
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

}  // namespace vornel::python::lexical
