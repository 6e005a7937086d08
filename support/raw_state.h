// Reads a path at the data level, through a mirror of its binary layout
// rather than through its members: text, kind, components with their
// positions, and the block's size and capacity.
#ifndef VORNEL_SUPPORT_RAW_STATE_H
#define VORNEL_SUPPORT_RAW_STATE_H

#include <fs_path>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vornel::test {

using std::filesystem::path;

struct RawCmpt {
  std::string text;
  int kind;
  std::size_t pos;
  bool has_block;  // a component never owns a block
};

struct RawPath {
  std::string text;
  int kind;  // 0 _Multi, 1 _Rootname, 2 _Rootdir, 3 _Filename
  bool has_block;
  int size;
  int capacity;
  std::vector<RawCmpt> cmpts;
};

RawPath raw(const path& p);

// The bytes with everything outside printable ASCII, and the backslash,
// written as \xNN, for failure messages.
std::string printable(std::string_view bytes);

// A one-line form of a path's structure, for tables of expected states:
// the kind letter (M, N, R, F), then each component as text:kind@pos.
// "/a/" reads "M /:R@0 a:F@1 :F@3"; "a" reads "F".
std::string describe(const path& p);

// The text and then the structure, the one form of a path's whole state in
// tables and messages: "a/b" reads "[a/b] M a:F@0 b:F@2".
std::string state(const path& p);

// The block's capacity, or 0 without a block.
int capacity(const path& p);

// The consistency of a path's list with its text, checked without
// re-splitting: kinds, positions inside the text, texts that match the bytes
// at their positions, size <= capacity, no component block. Empty when sound.
std::string invariant_violation(const path& p);

// The text of a path, writable, to re-split a path in place with
// _M_split_cmpts() as the library's own operations do.
std::string& text_of(path& p);

}  // namespace vornel::test

#endif  // VORNEL_SUPPORT_RAW_STATE_H
