// Conversion of narrow text in a given locale to a path's string: decoded to
// wide characters by the locale's facet, encoded again by a facet of no locale.
#include <fs_path>

#include <cwchar>
#include <string>

#include "../path/layout.h"

namespace vornel {
namespace {

using Codecvt = std::codecvt<wchar_t, char, std::mbstate_t>;

// Runs `step` (the facet's in or out) over [from, to) into `dest`, growing
// dest for the worst case of max_length() + 1 output units per input unit and
// trimming it to what was produced. Succeeds only when every input unit was
// consumed and no partial character is left in the state: this machine's
// facet takes a truncated trailing character into the state and reports ok.
template <typename In, typename Out, typename Step>
bool convert_all(const Codecvt& facet, Step step, const In* from, const In* to,
                 std::basic_string<Out>& dest, std::mbstate_t& state) {
  if (from == to) return true;
  const int maxlen = facet.max_length() + 1;
  const In* next = from;
  std::size_t outcount = 0;
  Codecvt::result result;
  do {
    dest.resize(dest.size() + std::size_t(to - next) * std::size_t(maxlen));
    __vornel_check_as(!dest.empty(), "!empty()");
    Out* const out = &dest.front();
    Out* out_next = out + outcount;
    result = (facet.*step)(state, next, to, next, out_next, out + dest.size(),
                           out_next);
    outcount = std::size_t(out_next - out);
  } while (result == Codecvt::partial && next != to &&
           dest.size() - outcount < std::size_t(maxlen));
  if (result == Codecvt::error) return false;
  dest.resize(outcount);
  return next == to && at_initial_state(state);
}

// Encodes wide text with the runtime's wide/narrow facet of no locale.
std::string narrow(const std::wstring& wide) {
  // On the stack and with no reference count, so no locale ever owns it.
  struct UnownedFacet : Codecvt {
  } cvt;
  std::string result;
  std::mbstate_t state{};
  if (!convert_all(cvt, &Codecvt::out, wide.data(), wide.data() + wide.size(),
                   result, state))
    std::filesystem::__vornel::__throw_unconvertible();
  return result;
}

}  // namespace
}  // namespace vornel

using namespace vornel;

namespace std::filesystem::__cxx11 {

path::string_type path::_S_convert_loc(const char* first, const char* last,
                                       const std::locale& loc) {
  const Codecvt& facet = std::use_facet<Codecvt>(loc);
  std::wstring wide;
  std::mbstate_t state{};
  if (!convert_all(facet, &Codecvt::in, first, last, wide, state))
    __vornel::__throw_unconvertible();
  return narrow(wide);
}

}  // namespace std::filesystem::__cxx11
