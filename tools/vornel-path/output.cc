// Buffered writing to a file descriptor.
#include "output.h"

#include <unistd.h>

#include <cerrno>

#include "json.h"

namespace vornel::tool {
namespace {
constexpr std::size_t kFlushSize = 1 << 16;
}  // namespace

Output::Output(int fd, bool json, char terminator)
    : fd_(fd), json_(json), terminator_(terminator) {
  buffer_.reserve(2 * kFlushSize);
}

Output& Output::raw(std::string_view bytes) {
  buffer_.append(bytes);
  return *this;
}

Output& Output::string(std::string_view bytes) {
  append_json_string(buffer_, bytes);
  return *this;
}

Output& Output::field(std::string_view key) {
  return raw(",\"").raw(key).raw("\":");
}

void Output::end_line() {
  buffer_ += terminator_;
  if (buffer_.size() >= kFlushSize) flush();
}

bool Output::flush() {
  std::size_t done = 0;
  while (ok() && done < buffer_.size()) {
    const ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (wrote >= 0)
      done += static_cast<std::size_t>(wrote);
    else if (errno != EINTR)
      error_ = errno;
  }
  buffer_.clear();
  return ok();
}

}  // namespace vornel::tool
