// Fuzz target: the text-level forms that vornel-path answers with
// (tools/vornel-path/forms.h) must give the path library's own results byte
// for byte, on any bytes and on paths dense in separators, dots and "..".
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "vornel-path/forms.h"
#include "vornel-path/levels.h"
#include "vornel-path/operand.h"

namespace {

using namespace vornel::fuzz;
namespace forms = vornel::tool::forms;
using vornel::tool::library_operand_form;
using vornel::tool::operand_form;
using vornel::tool::same_element;

constexpr std::size_t kMaxTexts = 6;
constexpr std::size_t kMaxJoined = 1 << 12;

void expect_same(std::string_view got, const std::string& want, const char* what,
                 std::string_view text) {
  if (got != want)
    fail(std::string(what) + " of '" + printable(text) + "': got '" + printable(got) + "', want '" +
         printable(want) + "'");
}

// Raw bytes, or bytes read as letters of paths, where the fuzzer finds the
// cases that matter sooner.
std::string next_text(FuzzedDataProvider& in) {
  const bool dense = in.ConsumeBool();
  std::string text = in.ConsumeRandomLengthString(64);
  if (dense)
    for (char& c : text) c = "/./a/b.."[static_cast<unsigned char>(c) % 8];
  return text;
}

std::size_t library_climb(const path& p) {
  return std::distance(p.begin(), std::find_if(p.begin(), p.end(),
                                               [](const path& e) { return e.native() != ".."; }));
}

// The shared part and containment of two operand forms of one frame, by the
// library's element walk and relative form.
void check_frame(const path& a, const path& b, const std::string& pair) {
  if (a.has_root_directory() != b.has_root_directory()) return;
  path prefix;
  const auto end = std::mismatch(a.begin(), a.end(), b.begin(), b.end(), same_element).first;
  for (auto e = a.begin(); e != end; ++e) prefix /= *e;
  expect_same(forms::shared(a.native(), b.native()), prefix.native(), "shared", pair);
  if (forms::climb(a.native()) != library_climb(a)) fail("climb of '" + pair + "'");
  if (!a.has_root_directory() && library_climb(a) != library_climb(b)) return;
  const path way = a.lexically_relative(b);
  const bool within = !way.empty() && way.begin()->native() != "..";
  if (forms::lies_within(a.native(), b.native()) != within) fail("lies_within of '" + pair + "'");
}

void check_one(const std::string& text) {
  const path p(text);
  expect_same(forms::parent(text), p.parent_path().native(), "parent", text);
  expect_same(forms::filename(text), p.filename().native(), "filename", text);
  expect_same(forms::stem(text), p.stem().native(), "stem", text);
  expect_same(forms::extension(text), p.extension().native(), "extension", text);
  std::string out;
  if (forms::normal(text, out)) expect_same(out, p.lexically_normal().native(), "normal", text);
  expect_same(operand_form(text, out), library_operand_form(text).native(), "operand", text);
}

void check_relative(const std::string& a, const std::string& b) {
  const path pa = library_operand_form(a), pb = library_operand_form(b);
  const std::string want = pa.lexically_relative(pb).native();
  const std::string pair = a + "' against '" + b;
  std::string out;
  if (forms::relative(pa.native(), pb.native(), out)) expect_same(out, want, "relative", pair);
  std::string ta, tb;
  if (forms::operand(a, ta) && forms::operand(b, tb) && forms::relative(ta, tb, out))
    expect_same(out, want, "relative of text operands", pair);
  check_frame(pa, pb, pair);
  const forms::LexicalBase base(b);
  std::string room(base.room(a), '\0');
  expect_same(base.relative(a, room.data()), path(a).lexically_relative(path(b)).native(),
              "relative as written", pair);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  require_own_bindings();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<std::string> texts;
  while (texts.size() < kMaxTexts && in.remaining_bytes() > 0) texts.push_back(next_text(in));
  path joined;
  std::string joined_text;
  for (std::size_t k = 0; k < texts.size(); ++k) {
    check_one(texts[k]);
    if (k > 0) check_relative(texts[k - 1], texts[k]);
    if (joined_text.size() + texts[k].size() < kMaxJoined) {
      joined /= std::string_view(texts[k]);
      forms::join(joined_text, texts[k]);
      expect_same(joined_text, joined.native(), "join", texts[k]);
    }
  }
  return 0;
}
