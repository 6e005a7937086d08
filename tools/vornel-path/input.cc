// Record splitting of standard input, and the choice between arguments and
// standard input.
#include "input.h"

#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <utility>

namespace vornel::tool {
namespace {
constexpr std::size_t kReadSize = 1 << 16;
}  // namespace

RecordReader::RecordReader(int fd, char terminator, std::function<void()> before_read)
    : fd_(fd), terminator_(terminator), before_read_(std::move(before_read)) {}

bool RecordReader::next(std::string_view& record) {
  std::size_t searched = begin_;
  for (;;) {
    const void* found =
        std::memchr(buffer_.data() + searched, terminator_, end_ - searched);
    if (found) {
      const std::size_t stop = static_cast<const char*>(found) - buffer_.data();
      record = std::string_view(buffer_.data() + begin_, stop - begin_);
      begin_ = stop + 1;
      return true;
    }
    if (eof_) {
      if (begin_ == end_) return false;
      record = std::string_view(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
    searched = end_ - begin_;
    if (!fill()) return false;
  }
}

// Moves the unfinished record to the front and reads more after it.
bool RecordReader::fill() {
  const std::size_t pending = end_ - begin_;
  if (begin_ != 0 && pending != 0)
    std::memmove(&buffer_[0], buffer_.data() + begin_, pending);
  begin_ = 0;
  end_ = pending;
  if (buffer_.size() < pending + kReadSize)
    buffer_.resize(std::max(pending + kReadSize, buffer_.size() * 2));
  before_read_();
  for (;;) {
    const ssize_t got = ::read(fd_, &buffer_[end_], buffer_.size() - end_);
    if (got > 0) {
      end_ += static_cast<std::size_t>(got);
      return true;
    }
    if (got == 0) {
      eof_ = true;
      return true;
    }
    if (errno != EINTR) {
      error_ = errno;
      return false;
    }
  }
}

PathSource::PathSource(std::vector<std::string_view> arguments, char terminator,
                       std::function<void()> before_read)
    : arguments_(std::move(arguments)),
      from_input_(arguments_.empty()),
      reader_(STDIN_FILENO, terminator, std::move(before_read)) {}

bool PathSource::next(std::string_view& path) {
  if (from_input_) return reader_.next(path);
  if (index_ == arguments_.size()) return false;
  path = arguments_[index_++];
  return true;
}

}  // namespace vornel::tool
