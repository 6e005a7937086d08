// Fuzz target: _S_convert_loc over any bytes, in the "C" locale and in
// "C.UTF-8". The result must be what one pass of the locale's own facet and
// of a stand-alone facet gives with room to spare, and a failure must be the
// library's conversion error and nothing else. The same bytes go through the
// header's conversions as UTF-8, UTF-16 and UTF-32: well-formed text
// round-trips through every form, and any other throws that error from each.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <functional>
#include <locale>
#include <optional>
#include <sstream>
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

void check_error(const filesystem_error& e, const std::string& at) {
  const std::string what = "filesystem error: Cannot convert character sequence: " +
                           std::generic_category().message(EILSEQ);
  if (e.code() != std::error_code(EILSEQ, std::generic_category()) || e.what() != what ||
      !e.path1().empty() || !e.path2().empty())
    fail(at + " threw '" + e.what() + "'");
}

// Each form must give `want` when the text is well formed, else throw.
template <typename T>
void check_forms(const std::string& at, bool valid, const T& want,
                 std::initializer_list<std::function<T()>> forms) {
  for (const auto& form : forms) {
    const std::string which = at + ", form " + std::to_string(&form - forms.begin());
    try {
      if (form() != want || !valid) fail(which + (valid ? " changed the text" : " did not throw"));
    } catch (const filesystem_error& e) {
      if (valid) fail(which + " threw on well-formed text");
      check_error(e, which);
    }
  }
}

bool scalar(char32_t c) { return c < 0xd800 || (c >= 0xe000 && c <= 0x10ffff); }

// UTF-8 of scalar values, by the C library under C.UTF-8.
std::string encoded(std::u32string_view text) {
  std::string out;
  std::mbstate_t state{};
  char bytes[MB_LEN_MAX];
  for (char32_t c : text) out.append(bytes, std::wcrtomb(bytes, wchar_t(c), &state));
  return out;
}

// The bytes as UTF-8 are well formed where the C library, under C.UTF-8,
// decodes them one character after another into scalar values, and every
// form must decode them to those; as UTF-16, where every surrogate is paired.
void check_unicode(std::string_view bytes) {
  std::u32string decoded;
  std::mbstate_t state{};
  bool valid = true;
  for (std::size_t i = 0, n = 0; i < bytes.size() && valid; i += n ? n : 1) {
    wchar_t c;
    n = std::mbrtowc(&c, bytes.data() + i, bytes.size() - i, &state);
    valid = n <= bytes.size() - i && scalar(char32_t(c));
    decoded.push_back(char32_t(c));
  }
  const path p{std::string(bytes)};
  const std::string at = "conversion of '" + printable(bytes) + "'";
  auto units = [](const std::wstring& w) { return std::u32string(w.begin(), w.end()); };
  check_forms<std::u32string>(at, valid, decoded, {
      [&] { return p.u32string(); }, [&] { return p.generic_u32string(); },
      [&] { return units(p.wstring()); }, [&] { return units(p.generic_wstring()); },
      [&] { return path(p.u16string()).u32string(); },
      [&] { return path(p.generic_u16string()).u32string(); },
      [&] {
        std::wstringstream stream;
        path read;
        stream << p, stream >> read;
        return read.u32string();
      }});
  if (valid && path(decoded).native() != bytes) fail(at + " did not come back");
  // The bytes as units: into a path, each form must give what the C library
  // encodes of their scalar values, and back out the same units.
  std::u16string utf16(bytes.size() / 2, u'\0');
  std::u32string utf32(bytes.size() / 4, U'\0'), paired;
  std::memcpy(utf16.data(), bytes.data(), utf16.size() * 2);
  std::memcpy(utf32.data(), bytes.data(), utf32.size() * 4);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const bool pair = utf16[i] - 0xd800u < 0x400 && i + 1 < utf16.size() &&
                      utf16[i + 1] - 0xdc00u < 0x400;
    paired.push_back(pair ? 0x10000 + ((utf16[i] - 0xd800u) << 10) + (utf16[i + 1] - 0xdc00u)
                          : utf16[i]);
    i += pair;
  }
  const bool valid16 = std::all_of(paired.begin(), paired.end(), scalar);
  const bool valid32 = std::all_of(utf32.begin(), utf32.end(), scalar);
  check_forms<std::string>(at + " as UTF-16", valid16, valid16 ? encoded(paired) : "", {
      [&] { return path(utf16).native(); }, [&] { return (path() += utf16).native(); }});
  check_forms<std::string>(at + " as UTF-32", valid32, valid32 ? encoded(utf32) : "", {
      [&] { return path(utf32).native(); },
      [&] { return path(std::wstring(utf32.begin(), utf32.end())).native(); }});
  if ((valid16 && path(utf16).u16string() != utf16) || (valid32 && path(utf32).u32string() != utf32))
    fail(at + " as UTF-16 or UTF-32 did not come back");
}

bool ascii(std::string_view bytes) {
  for (unsigned char c : bytes)
    if (c >= 0x80) return false;
  return true;
}

void check_conversion(std::string_view bytes, const std::locale& loc, const char* name) {
  const std::string at = std::string(name) + " conversion of '" + printable(bytes) + "'";
  const std::optional<std::string> want = oracle(bytes, loc);
  try {
    const std::string got =
        path::_S_convert_loc(bytes.data(), bytes.data() + bytes.size(), loc);
    if (!want) fail(at + " succeeded with '" + printable(got) + "'");
    if (got != *want) fail(at + " gave '" + printable(got) + "', want '" + printable(*want) + "'");
    if (ascii(bytes) && got != bytes) fail(at + " changed ASCII text");
  } catch (const filesystem_error& e) {
    if (want) fail(at + " failed, want '" + printable(*want) + "'");
    check_error(e, at);
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
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) fail("the C.UTF-8 locale is not available");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::locale c_locale = std::locale::classic();
  static const std::locale utf8_locale = utf8();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check_conversion(bytes, c_locale, "C");
  check_conversion(bytes, utf8_locale, "C.UTF-8");
  check_unicode(bytes);
  return 0;
}
