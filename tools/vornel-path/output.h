// Buffered output of records: a record states its input, its fields and its
// result once, and is written as plain text or as one JSON object.
#ifndef VORNEL_TOOLS_OUTPUT_H
#define VORNEL_TOOLS_OUTPUT_H

#include <string>
#include <string_view>

namespace vornel::tool {

// One value of a record: path bytes (a JSON string), a JSON literal (a number
// or a boolean, written as it is in plain text too), or none (JSON null,
// nothing in plain text), or a table of rows of `width` values each, whose
// column names are `columns` (parts' components).
struct Value {
  enum Kind : char { kBytes, kLiteral, kNone, kRows };
  Kind kind = kNone;
  std::string_view text;
  const Value* cells = nullptr;
  std::size_t count = 0;
  const std::string_view* columns = nullptr;
  std::size_t width = 0;

  static Value bytes(std::string_view text) { return {kBytes, text}; }
  static Value literal(std::string_view text) { return {kLiteral, text}; }
  static Value boolean(bool yes) { return literal(yes ? "true" : "false"); }
  static Value none() { return {}; }
  static Value rows(const Value* cells, std::size_t count, const std::string_view* columns,
                    std::size_t width) {
    return {kRows, {}, cells, count, columns, width};
  }
};

struct Field {
  std::string_view key;
  Value value;
};

// How plain text shows a record: its result alone; nothing (the exit status
// tells); or a table of NAME<TAB>VALUE lines, one per field, that a rows
// field writes as one line per row, named by the singular of its key.
enum class Plain : char { kResult, kSilent, kTable };

struct Record {
  std::string_view input;  // unused after begin_inputs()
  const Field* fields;
  std::size_t field_count;
  Value result;

  const Field* begin() const { return fields; }
  const Field* end() const { return fields + field_count; }
};

class Output {
 public:
  Output(int fd, bool json, char terminator);

  void write(const Record& record, Plain plain);
  // Opens a record of several PATHs, each written as it is read, so that
  // none is kept (join, concat, common); write() closes it.
  void begin_inputs();
  void next_input(std::string_view input);
  // Drops the record that begin_inputs() opened, as far as it is not
  // written yet: it will have no result.
  void abandon();

  // Writes what is buffered; false once a write has failed.
  bool flush();
  // Writes the records that are whole; an open one waits for its result
  // while it is short.
  void flush_records();
  bool ok() const { return error_ == 0; }
  // The errno of the failed write, 0 if none.
  int error() const { return error_; }

 private:
  void json_value(const Value& value);
  void plain_value(const Value& value);
  void plain_rows(std::string_view key, const Value& rows);
  void write_all(std::string_view bytes);

  int fd_;
  bool json_;
  char terminator_;
  bool inputs_open_ = false;
  bool first_input_ = true;
  std::size_t open_record_ = 0;  // where the open record begins in buffer_
  int error_ = 0;
  std::string buffer_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_OUTPUT_H
