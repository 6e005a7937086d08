// Private to the library: copies of short byte runs, which the text writers
// of layout.h use where a copy of unknown length would be a call.
#ifndef VORNEL_SRC_PATH_BYTES_H
#define VORNEL_SRC_PATH_BYTES_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vornel {

// Copies n <= 16 bytes with two moves that overlap, where a copy of unknown
// length would be a call.
inline void copy_short(char* to, const char* from, std::size_t n) noexcept {
  if (n >= 8) {
    std::uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + n - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + n - 8, &tail, 8);
  } else if (n >= 4) {
    std::uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + n - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + n - 4, &tail, 4);
  } else if (n != 0) {
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  }
}

// Copies n bytes, the short ones without a call.
inline void copy_bytes(char* to, const char* from, std::size_t n) noexcept {
  if (n <= 16)
    copy_short(to, from, n);
  else
    std::memcpy(to, from, n);
}

}  // namespace vornel

#endif  // VORNEL_SRC_PATH_BYTES_H
