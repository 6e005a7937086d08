// Private to the library: what it assumes of layouts that the runtime and the
// C library keep to themselves, each stated once with its reason. The
// compiler checks what it can; the tests named here check the rest.
#ifndef VORNEL_SRC_PATH_LAYOUT_H
#define VORNEL_SRC_PATH_LAYOUT_H

#include <fs_path>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <type_traits>

#include "bytes.h"

namespace vornel {

using std::filesystem::filesystem_error;
using std::filesystem::path;

// The list word is the unique pointer alone, its deleter taking no room, so
// that a path is its text and one word.
static_assert(sizeof(path::_List) == sizeof(void*), "the list is one word");

// The kind lives in the low bits of a block's address: every kind must fit
// the mask, and a block's alignment must leave the masked bits zero.
static_assert(std::uintptr_t(path::_Type::_Filename) <= path::_List::_S_kind_mask,
              "every kind fits the tag bits");
static_assert(alignof(path::_List::_Impl) > path::_List::_S_kind_mask,
              "a block's address has the tag bits free");
// Of the kinds, _Rootname never occurs: POSIX text has no root names, so no
// split makes one and no operation builds one, and the root-name queries
// answer without looking.

// Components move between blocks byte for byte, and a text held in the
// string's own buffer is then aimed at the copy of that buffer: the string is
// 32 bytes whose first word addresses its bytes, which lie inside the object
// while they fit (list_test checks the first word and the buffer).
static_assert(sizeof(path::string_type) == 32, "the runtime's string layout");

// A text of up to 15 bytes lives in that buffer, which a new string already
// addresses, and the length is the word after the address. Texts are
// written into a string's room and their length set there directly: the
// runtime's own construction and append call out for the copy and check
// again what the caller knows (list_test checks the length word and the
// buffer's size).
inline constexpr std::size_t own_buffer_bytes = 15;

// Sets the length word of a string whose first n bytes of room, and the
// terminator after them, the caller has written.
inline void set_length(path::string_type& s, std::size_t n) noexcept {
  std::memcpy(reinterpret_cast<char*>(&s) + sizeof(char*), &n, sizeof n);
}

// Gives a new, empty string the n <= own_buffer_bytes bytes at `from`.
inline void write_short_text(path::string_type& fresh, const char* from,
                             std::size_t n) noexcept {
  char* const to = fresh.data();
  copy_short(to, from, n);
  to[n] = '\0';
  set_length(fresh, n);
}

// Appends n bytes to a string: straight into its room when they fit, else
// through the string's own append, which grows it. The bytes may lie in
// the string itself.
inline void append_bytes(path::string_type& s, const char* from, std::size_t n) {
  const std::size_t length = s.size();
  if (n > s.capacity() - length) {
    s.append(from, n);
    return;
  }
  char* const to = s.data() + length;
  copy_bytes(to, from, n);
  to[n] = '\0';
  set_length(s, length + n);
}

// An error is the runtime's system_error followed by the two words of a
// shared pointer: the object, then its counted control part.
static_assert(sizeof(filesystem_error) == sizeof(std::system_error) + 2 * sizeof(void*),
              "the error's layout");

// Whether a conversion state holds no part of a character, read from the
// C library's state in place: mbsinit is not among the functions this
// library imports. A state holding a partial character has a non-zero count
// (convert_test checks that this agrees with mbsinit).
static_assert(std::is_same_v<decltype(std::mbstate_t::__count), int>,
              "the C library's conversion state counts pending bytes");
inline bool at_initial_state(const std::mbstate_t& state) noexcept {
  return state.__count == 0;
}

}  // namespace vornel

#endif  // VORNEL_SRC_PATH_LAYOUT_H
