// Where the separators and dots of a path's text lie, found sixteen bytes at
// a time: the text-level forms find and walk elements with bit operations,
// without a branch per byte.
#ifndef VORNEL_TOOLS_SEPARATORS_H
#define VORNEL_TOOLS_SEPARATORS_H

#include <emmintrin.h>

#include <cstdint>
#include <string_view>

namespace vornel::tool {

// Bit k of each mask set where byte `from + k` of the text is a separator,
// or a dot, for the bytes from `from` on, at most 64; with `copy`, those
// bytes are copied there too. The last bytes of a text are read with the
// sixteen that end it: copying them out first would stall the read.
struct Masks {
  std::uint64_t separators = 0, dots = 0;
};

inline Masks masks_of(std::string_view text, std::size_t from, char* copy = nullptr) {
  const std::size_t n = text.size() - from < 64 ? text.size() - from : 64;
  Masks masks;
  for (std::size_t at = 0; at < n; at += 16) {
    const std::size_t left = n - at;
    std::uint64_t separators = 0, dots = 0;
    if (left >= 16 || text.size() >= 16) {
      const char* sixteen = left >= 16 ? text.data() + from + at : text.data() + text.size() - 16;
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen));
      if (copy)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(copy + (left >= 16 ? at : n - 16)), bytes);
      separators = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('/'))));
      dots = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))));
      if (left < 16) {
        separators >>= 16 - left;
        dots >>= 16 - left;
      }
    } else {
      for (std::size_t k = 0; k < left; ++k) {
        const char c = text[from + at + k];
        separators |= std::uint64_t(c == '/') << k;
        dots |= std::uint64_t(c == '.') << k;
        if (copy) copy[at + k] = c;
      }
    }
    masks.separators |= separators << at;
    masks.dots |= dots << at;
  }
  return masks;
}

class Separators {
 public:
  explicit Separators(std::string_view text) : text_(text) { load(0); }

  // The first separator at or after `i`, or the text's size.
  std::size_t next(std::size_t i) { return first(i, false); }
  // The first byte at or after `i` that is not a separator, or the size.
  std::size_t skip(std::size_t i) { return first(i, true); }

 private:
  static constexpr std::size_t kWindow = 64;

  void load(std::size_t base) {
    base_ = base;
    mask_ = masks_of(text_, base).separators;
    const std::size_t n = text_.size() - base;
    valid_ = n >= kWindow ? ~std::uint64_t(0) : (std::uint64_t(1) << n) - 1;
  }

  std::size_t first(std::size_t i, bool absent) {
    while (i < text_.size()) {
      if (i - base_ >= kWindow) load(i);
      const std::uint64_t rest = ((absent ? ~mask_ : mask_) & valid_) >> (i - base_);
      if (rest) return i + std::size_t(__builtin_ctzll(rest));
      i = base_ + kWindow;
    }
    return text_.size();
  }

  std::string_view text_;
  std::size_t base_ = 0;     // the text's first byte in the window
  std::uint64_t mask_ = 0;   // the window's separators
  std::uint64_t valid_ = 0;  // the window's bytes that lie in the text
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_SEPARATORS_H
