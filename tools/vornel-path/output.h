// Buffered output of results: plain bytes or JSON, each record closed by a
// newline or a NUL.
#ifndef VORNEL_TOOLS_OUTPUT_H
#define VORNEL_TOOLS_OUTPUT_H

#include <string>
#include <string_view>

namespace vornel::tool {

class Output {
 public:
  Output(int fd, bool json, char terminator);

  bool json() const { return json_; }
  // Raw bytes, and the same bytes as a JSON string literal.
  Output& raw(std::string_view bytes);
  Output& string(std::string_view bytes);
  // The separator and key of one more field of a JSON object.
  Output& field(std::string_view key);
  // Closes a line (a record, or one line of a record).
  void end_line();

  // Writes what is buffered; false once a write has failed.
  bool flush();
  bool ok() const { return error_ == 0; }
  // The errno of the failed write, 0 if none.
  int error() const { return error_; }

 private:
  int fd_;
  bool json_;
  char terminator_;
  int error_ = 0;
  std::string buffer_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_OUTPUT_H
