// What the fuzz targets share: the proof that the path names bind to our
// library, the report that stops a run, and the checks of a path against its
// text.
#ifndef VORNEL_FUZZ_CHECK_H
#define VORNEL_FUZZ_CHECK_H

#include <fs_path>
#include <string>
#include <string_view>

#include "support/raw_state.h"

namespace vornel::fuzz {

using std::filesystem::path;

// Aborts unless the binding guard finds every path name bound into
// libvornel.so; called once before the first input.
void require_own_bindings();

// Prints what broke and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const std::string& what);

using vornel::test::printable;

// The structure that splitting `text` gives, in the form of
// vornel::test::describe, worked out without the library's parser.
std::string split_model(std::string_view text);

// The number of components in the block of a path split from `text`.
int component_count(std::string_view text);

// The block capacity a split of k components leaves in a block that had
// capacity `old_capacity` (0: no block).
int split_capacity(int k, int old_capacity);

// Fails unless the list of p is consistent with its text (every invariant of
// the component list), naming `where`.
void check_valid(const path& p, const char* where);

// Fails unless p has the structure a new split of its text gives, except
// where the text does not decide: a root-directory component that holds a
// whole run of separators, and a _Multi path whose only component is its
// root directory.
void check_agrees_with_split(const path& p, const char* where);

// The sign of a comparison result.
inline int sign(int v) { return (v > 0) - (v < 0); }

}  // namespace vornel::fuzz

#endif  // VORNEL_FUZZ_CHECK_H
