// The checks that every fuzz target runs on the paths it builds.
#include "check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "support/binding_guard.h"
#include "support/raw_state.h"

namespace vornel::fuzz {

void require_own_bindings() {
  if (!vornel::guard::bindings_are_ours("fuzz")) fail("path names bind outside libvornel.so");
}

void fail(const std::string& what) {
  std::fprintf(stderr, "vornel fuzz check failed: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

namespace {

struct ModelCmpt {
  std::string_view text;
  char kind;
  std::size_t pos;
};

// A root directory for a leading separator, every maximal run of other bytes
// as a filename, and an empty filename for separators after a filename.
std::vector<ModelCmpt> model_components(std::string_view text) {
  std::vector<ModelCmpt> cmpts;
  if (!text.empty() && text[0] == '/') cmpts.push_back({text.substr(0, 1), 'R', 0});
  bool any_filename = false;
  for (std::size_t p = 0; p < text.size();) {
    if (text[p] == '/') {
      ++p;
      continue;
    }
    const std::size_t q = std::min(text.find('/', p), text.size());
    cmpts.push_back({text.substr(p, q - p), 'F', p});
    any_filename = true;
    p = q;
  }
  if (any_filename && text.back() == '/')
    cmpts.push_back({text.substr(text.size()), 'F', text.size()});
  return cmpts;
}

}  // namespace

std::string split_model(std::string_view text) {
  if (text.empty()) return "F";
  const std::vector<ModelCmpt> cmpts = model_components(text);
  if (cmpts.size() == 1) return std::string(1, cmpts[0].kind);
  std::string out = "M";
  for (const ModelCmpt& c : cmpts) {
    out += ' ';
    out.append(c.text.data(), c.text.size());
    out += ':';
    out += c.kind;
    out += '@';
    out += std::to_string(c.pos);
  }
  return out;
}

int component_count(std::string_view text) {
  const std::size_t n = model_components(text).size();
  return n > 1 ? int(n) : 0;
}

int split_capacity(int k, int old_capacity) {
  int capacity = old_capacity, size = 0, left = k;
  for (; left >= 64; left -= 64, size += 64)
    if (capacity < size + 64) capacity = std::max(size + 64, int(capacity * 1.5));
  if (left > 0 && (left > 1 || size > 0)) capacity = std::max(capacity, size + left);
  return capacity;
}

void check_valid(const path& p, const char* where) {
  const std::string why = vornel::test::invariant_violation(p);
  if (!why.empty())
    fail(std::string(where) + ": '" + printable(p.native()) + "' " +
         printable(vornel::test::describe(p)) + ": " + why);
}

void check_agrees_with_split(const path& p, const char* where) {
  vornel::test::RawPath r = vornel::test::raw(p);
  if (!r.cmpts.empty() && r.cmpts[0].kind == 2) r.cmpts[0].text = "/";
  std::string got;
  if (r.kind == 0 && r.cmpts.size() == 1 && r.cmpts[0].kind == 2) {
    got = "R";
  } else {
    got = std::string(1, "MNRF"[r.kind]);
    for (const auto& c : r.cmpts)
      got += ' ' + c.text + ':' + "MNRF"[c.kind] + '@' + std::to_string(c.pos);
  }
  const std::string want = split_model(r.text);
  if (got != want)
    fail(std::string(where) + ": '" + printable(r.text) + "' holds " + printable(got) +
         " but its text splits into " + printable(want));
}

}  // namespace vornel::fuzz
