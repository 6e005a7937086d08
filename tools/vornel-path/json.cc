// Escaping of arbitrary bytes into JSON string literals.
#include "json.h"

namespace vornel::tool {
namespace {

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence that starts at s[i], or 0 when
// s[i] does not start one (stray continuation, overlong form, surrogate, a
// code point above U+10FFFF, or a sequence cut short). The header's decoder
// (__next_utf8 in include/fs_path) judges by the same rules, which one table
// of cases checks in both.
std::size_t utf8_sequence_length(std::string_view s, std::size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  std::size_t length;
  unsigned char second_min = 0x80, second_max = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_min = 0xA0;
    if (lead == 0xED) second_max = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_min = 0x90;
    if (lead == 0xF4) second_max = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - i < length) return 0;
  const auto second = static_cast<unsigned char>(s[i + 1]);
  if (second < second_min || second > second_max) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (!is_continuation(static_cast<unsigned char>(s[i + k]))) return 0;
  return length;
}

bool is_plain_ascii(unsigned char c) {
  return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
}

void append_escape(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789abcdef";
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
  }
  const char* prefix = c < 0x80 ? "\\u00" : "\\udc";
  out += prefix;
  out += kHex[c >> 4];
  out += kHex[c & 0xF];
}

}  // namespace

void append_json_string(std::string& out, std::string_view bytes) {
  out += '"';
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t run = i;
    while (run < bytes.size() && is_plain_ascii(static_cast<unsigned char>(bytes[run])))
      ++run;
    out.append(bytes.data() + i, run - i);
    i = run;
    if (i == bytes.size()) break;
    const auto c = static_cast<unsigned char>(bytes[i]);
    std::size_t length = c >= 0x80 ? utf8_sequence_length(bytes, i) : 0;
    if (length) {
      out.append(bytes.data() + i, length);
      i += length;
    } else {
      append_escape(out, c);
      ++i;
    }
  }
  out += '"';
}

}  // namespace vornel::tool
