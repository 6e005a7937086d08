// Realistic path texts: system libraries, deep build trees, relative paths
// with "." and "..", trailing and doubled separators, names too long for the
// string's own buffer, and one path of 100 components.
#include "corpus.h"

#include <algorithm>
#include <cstddef>

namespace vornel::bench {
namespace {

const char* const kTexts[] = {
    // System libraries and headers.
    "/usr/lib/x86_64-linux-gnu/libstdc++.so.6",
    "/lib64/ld-linux-x86-64.so.2",
    "/usr/include/c++/12/bits/basic_string.h",
    "/usr/share/locale/de/LC_MESSAGES/coreutils.mo",
    "/etc/ssl/certs/ca-certificates.crt",
    "/usr/lib/python3/dist-packages/numpy/core/"
    "_multiarray_umath.cpython-311-x86_64-linux-gnu.so",
    "/usr/local/bin/cmake",
    // Deep build trees.
    "build/src/CMakeFiles/vornel.dir/path/parse.cc.o",
    "/home/dev/work/engine/build-release/third_party/abseil-cpp/absl/strings/"
    "CMakeFiles/absl_str_format_internal.dir/internal/str_format/arg.cc.o",
    "out/Release/obj/third_party/blink/renderer/core/layout/inline/inline_node.o",
    "target/x86_64-unknown-linux-gnu/release/deps/libserde_json-3f2a9c1d0b7e6f45.rlib",
    // Relative paths with "." and "..".
    "../../include/vornel/fs_path",
    "./src/./path/../path/list.cc",
    "a/b/../../c/./d/e/../f.txt",
    "../lib/../share/doc/README.md",
    "..",
    ".",
    // Trailing separators.
    "/usr/local/share/",
    "src/compose/",
    "/var/cache/apt/archives/partial/",
    // Doubled separators.
    "//usr//lib///x86_64-linux-gnu//libc.so.6",
    "home//user/.config//nvim/init.lua",
    "///",
    // Names longer than the string's own buffer.
    "documents/Quarterly-Financial-Report-2023-Q4-final-revised.pdf",
    "/srv/data/sensor_readings_2024_01_15T10_30_00Z_station_northwest.csv.gz",
    // Short ones.
    "a",
    "main.cpp",
    "/",
    ".bashrc",
    "include/boost",
};

std::string hundred_components() {
  std::string text;
  for (int i = 0; i < 100; ++i) {
    if (i) text += '/';
    text += "dir";
    text += char('0' + i / 10);
    text += char('0' + i % 10);
  }
  return text;
}

// Every separator doubled: the same elements, another text.
std::string respell(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '/') out += '/';
  }
  return out;
}

// The text up to its middle separator, then two directories of its own.
std::string base_for(const std::string& text) {
  std::size_t seps = 0;
  for (char c : text) seps += c == '/';
  std::size_t cut = 0, seen = 0;
  for (std::size_t i = 0; i < text.size() && seen * 2 < seps; ++i) {
    if (text[i] == '/') {
      ++seen;
      cut = i;
    }
  }
  std::string base = text.substr(0, cut);
  if (!base.empty() && base.back() != '/') base += '/';
  return base + "obj/gen";
}

std::vector<std::string> pieces_of(const std::string& text) {
  std::vector<std::string> pieces;
  if (!text.empty() && text[0] == '/') pieces.emplace_back("/");
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('/', start), text.size());
    if (end > start) pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (text.size() > 1 && text.back() == '/' && text.find_first_not_of('/') != std::string::npos)
    pieces.emplace_back();
  return pieces;
}

Corpus build() {
  Corpus c;
  for (const char* t : kTexts) c.texts.emplace_back(t);
  c.texts.push_back(hundred_components());
  for (const auto& t : c.texts) {
    c.respelled.push_back(respell(t));
    c.bases.push_back(base_for(t));
    c.pieces.push_back(pieces_of(t));
  }
  for (std::size_t i = 0; i < c.texts.size(); ++i)
    c.strangers.push_back(c.texts[(i + 1) % c.texts.size()]);
  return c;
}

}  // namespace

const Corpus& corpus() {
  static const Corpus c = build();
  return c;
}

}  // namespace vornel::bench
