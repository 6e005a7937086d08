// Answers read straight off a path's text for the commonest paths, so that
// batches of them skip building a path at all. Each answer is, byte for byte,
// the path library's own (fuzz/forms_fuzz.cc checks that on any input); a
// function that returns false leaves the answer to the library.
#ifndef VORNEL_TOOLS_FORMS_H
#define VORNEL_TOOLS_FORMS_H

#include <string>
#include <string_view>
#include <vector>

namespace vornel::tool::forms {

// path(text).parent_path() and path(text).filename(); a view into `text`.
std::string_view parent(std::string_view text);
std::string_view filename(std::string_view text);

// path(text).stem() and path(text).extension(); views into `text`.
std::string_view stem(std::string_view text);
std::string_view extension(std::string_view text);

// path(text).lexically_normal(), into `out` (which `text` must not view).
// Declines a path that is only a root of more than one separator, and one
// whose normal form keeps a "..".
bool normal(std::string_view text, std::string& out);

// The same without a copy: `normal` views `text` itself where no element
// changes, else the form written at `room`, which holds normal_room(text)
// bytes.
bool normal(std::string_view text, char* room, std::string_view& normal);
inline std::size_t normal_room(std::string_view text) { return text.size() + 17; }

// How relative, proximate, common and is-within take an operand: the normal
// form without a trailing separator, and "." (a path that names where it
// starts) as the empty path, which counts no level either. Declines where
// normal() does.
bool operand(std::string_view text, std::string& out);

// path(p).lexically_relative(path(base)) for two operand forms as operand()
// makes them; empty when there is none. Declines operands that hold "..".
bool relative(std::string_view p, std::string_view base, std::string& out);

// How many ".." an operand form begins with: how far a relative one climbs
// above where it starts.
std::size_t climb(std::string_view form);

// The longest run of leading elements that two operand forms share, both
// absolute or both relative; a view into `a`. Elements compare as the
// library compares them.
std::string_view shared(std::string_view a, std::string_view b);

// Whether the operand form `inner` names `outer` or lies below it; both
// absolute, or both relative with the same climb().
bool lies_within(std::string_view inner, std::string_view outer);

// path(result) /= path(text), on the text alone.
void join(std::string& result, std::string_view text);

// path(p).lexically_relative(path(base)) for any texts against one base,
// as written: the elements of both walked as the library walks them (a
// root directory, each filename, an empty one after a trailing separator),
// with ".." for each level that the rest of the base goes down, and none
// where a ".." of it climbs above what the two share.
class LexicalBase {
 public:
  // `base` must outlive the LexicalBase.
  explicit LexicalBase(std::string_view base);

  // Written at `room`, which holds room(p) bytes; empty where there is no
  // relative form.
  std::string_view relative(std::string_view p, char* room) const;
  std::size_t room(std::string_view p) const;

 private:
  bool rooted_;
  std::vector<std::string_view> names_;  // the base's elements after its root
};

}  // namespace vornel::tool::forms

#endif  // VORNEL_TOOLS_FORMS_H
