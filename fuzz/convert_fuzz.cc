// Fuzz target: _S_convert_loc over any bytes, in the "C" locale and in
// "C.UTF-8". The result must be what one pass of the locale's own facet and
// of a stand-alone facet gives with room to spare, and a failure must be the
// library's conversion error and nothing else.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <locale>
#include <optional>
#include <string>
#include <system_error>

#include "check.h"

namespace {

using std::filesystem::filesystem_error;
using namespace vornel::fuzz;
using Facet = std::codecvt<wchar_t, char, std::mbstate_t>;

// A wide/narrow facet that belongs to no locale.
struct StandAlone : Facet {
  StandAlone() : Facet(std::size_t(0)) {}
  ~StandAlone() override = default;
};

// The conversion worked out with single facet calls and ample buffers, or
// nothing when the bytes do not convert.
std::optional<std::string> oracle(std::string_view bytes, const std::locale& loc) {
  if (bytes.empty()) return std::string();
  const Facet& in = std::use_facet<Facet>(loc);
  // Room to spare: a buffer that is exactly full changes what the facet
  // reports about an incomplete last character.
  std::wstring wide(bytes.size() * 8 + 8, L'\0');
  std::mbstate_t state{};
  const char* from_next;
  wchar_t* wide_next;
  const auto r1 = in.in(state, bytes.data(), bytes.data() + bytes.size(), from_next,
                        &wide[0], &wide[0] + wide.size(), wide_next);
  // A truncated last character is taken into the state and reported as ok:
  // it is still unconvertible.
  if (r1 == std::codecvt_base::error || from_next != bytes.data() + bytes.size() ||
      !std::mbsinit(&state))
    return std::nullopt;
  wide.resize(wide_next - wide.data());

  const StandAlone out;
  std::string narrow(wide.size() * MB_LEN_MAX + 8, '\0');
  state = std::mbstate_t{};
  const wchar_t* wide_from;
  char* to_next;
  const auto r2 = out.out(state, wide.data(), wide.data() + wide.size(), wide_from, &narrow[0],
                          &narrow[0] + narrow.size(), to_next);
  if (r2 == std::codecvt_base::error || wide_from != wide.data() + wide.size() ||
      !std::mbsinit(&state))
    return std::nullopt;
  narrow.resize(to_next - narrow.data());
  return narrow;
}

bool ascii(std::string_view bytes) {
  for (unsigned char c : bytes)
    if (c >= 0x80) return false;
  return true;
}

void check_conversion(std::string_view bytes, const std::locale& loc, const char* name) {
  const std::string at = std::string(name) + " conversion of '" + shown(bytes) + "'";
  const std::optional<std::string> want = oracle(bytes, loc);
  try {
    const std::string got =
        path::_S_convert_loc(bytes.data(), bytes.data() + bytes.size(), loc);
    if (!want) fail(at + " succeeded with '" + shown(got) + "'");
    if (got != *want) fail(at + " gave '" + shown(got) + "', want '" + shown(*want) + "'");
    if (ascii(bytes) && got != bytes) fail(at + " changed ASCII text");
  } catch (const filesystem_error& e) {
    if (want) fail(at + " failed, want '" + shown(*want) + "'");
    const std::string what = "filesystem error: Cannot convert character sequence: " +
                             std::generic_category().message(EILSEQ);
    if (e.code() != std::error_code(EILSEQ, std::generic_category()) || e.what() != what ||
        !e.path1().empty() || !e.path2().empty())
      fail(at + " threw '" + e.what() + "'");
  }
}

std::locale utf8() {
  try {
    return std::locale("C.UTF-8");
  } catch (const std::runtime_error&) {
    fail("the C.UTF-8 locale is not available");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vornel::fuzz::require_own_bindings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::locale c_locale = std::locale::classic();
  static const std::locale utf8_locale = utf8();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_conversion(bytes, c_locale, "C");
  check_conversion(bytes, utf8_locale, "C.UTF-8");
  return 0;
}
