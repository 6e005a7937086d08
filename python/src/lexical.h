// The lexical answers that the batch functions read straight off the text,
// beyond the tool's forms (tools/vornel-path/forms.h): each is, byte for
// byte, the path library's own for any text (the Python tests check them
// against the library's and the tool's on random paths).
#ifndef VORNEL_PYTHON_LEXICAL_H
#define VORNEL_PYTHON_LEXICAL_H

#include <string>
#include <string_view>
#include <vector>

namespace vornel::python::lexical {

// path(text).stem() and path(text).extension(): views into `text`.
std::string_view stem(std::string_view text);
std::string_view extension(std::string_view text);

// path(p).lexically_relative(path(base)) for many p against one base, on
// the text alone: the elements of both walked as the library walks them
// (a root directory, each filename, an empty one after a trailing
// separator), with ".." for each level that the rest of the base goes down,
// and none where a ".." of it climbs above what the two share.
class Relation {
 public:
  // `base` must outlive the Relation.
  explicit Relation(std::string_view base);

  // Written at `room`, which holds room(p) bytes; empty where there is no
  // relative form.
  std::string_view relative(std::string_view p, char* room) const;
  std::size_t room(std::string_view p) const;

 private:
  bool rooted_;
  std::vector<std::string_view> names_;  // the base's elements after its root
};

}  // namespace vornel::python::lexical

#endif  // VORNEL_PYTHON_LEXICAL_H
