// Where the paths come from: the command line, or records read from standard
// input in constant memory (one buffer, grown only for a longer record).
#ifndef VORNEL_TOOLS_INPUT_H
#define VORNEL_TOOLS_INPUT_H

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vornel::tool {

// Splits a file descriptor's bytes into records ended by `terminator`. A last
// record without its terminator is still a record; an empty input has none.
class RecordReader {
 public:
  // `before_read` runs before each read that may wait for more input.
  RecordReader(int fd, char terminator, std::function<void()> before_read);

  // The next record, valid until the following call; false at the end of the
  // input or on a read error.
  bool next(std::string_view& record);
  // The errno of a failed read, 0 if none.
  int error() const { return error_; }

 private:
  bool fill();

  int fd_;
  char terminator_;
  std::function<void()> before_read_;
  std::string buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  int error_ = 0;
};

// The paths of one run: the given arguments, or else the records of
// standard input.
class PathSource {
 public:
  PathSource(std::vector<std::string_view> arguments, char terminator,
             std::function<void()> before_read);

  bool next(std::string_view& path);
  int error() const { return reader_.error(); }

 private:
  std::vector<std::string_view> arguments_;
  std::size_t index_ = 0;
  bool from_input_;
  RecordReader reader_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_INPUT_H
