// Buffered writing of records to a file descriptor.
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

void Output::begin_inputs() {
  open_record_ = buffer_.size();
  if (json_) buffer_ += "{\"path\":[";
  inputs_open_ = true;
}

void Output::abandon() {
  if (inputs_open_) buffer_.resize(open_record_);
  inputs_open_ = false;
}

void Output::next_input(std::string_view input) {
  if (!json_) return;
  if (!first_input_) buffer_ += ',';
  first_input_ = false;
  append_json_string(buffer_, input);
  if (buffer_.size() >= kFlushSize) flush();
}

void Output::write(const Record& record, Plain plain) {
  if (json_) {
    if (inputs_open_) {
      buffer_ += ']';
    } else {
      buffer_ += "{\"path\":";
      append_json_string(buffer_, record.input);
    }
    for (const Field& field : record) {
      buffer_.append(",\"").append(field.key).append("\":");
      json_value(field.value);
    }
    buffer_ += ",\"result\":";
    json_value(record.result);
    buffer_ += "}\n";
  } else if (plain == Plain::kResult) {
    plain_value(record.result);
    buffer_ += terminator_;
  } else if (plain == Plain::kTable) {
    buffer_.append("path\t").append(record.input) += terminator_;
    for (const Field& field : record) {
      if (field.value.kind == Value::kRows) {
        plain_rows(field.key, field.value);
        continue;
      }
      buffer_.append(field.key) += '\t';
      plain_value(field.value);
      buffer_ += terminator_;
    }
    buffer_ += terminator_;
  }
  inputs_open_ = false;
  if (buffer_.size() >= kFlushSize) flush();
}

void Output::json_value(const Value& value) {
  switch (value.kind) {
    case Value::kBytes: append_json_string(buffer_, value.text); return;
    case Value::kLiteral: buffer_.append(value.text); return;
    case Value::kNone: buffer_.append("null"); return;
    case Value::kRows: break;
  }
  buffer_ += '[';
  for (std::size_t row = 0; row < value.count; ++row) {
    buffer_.append(row ? ",{" : "{");
    for (std::size_t column = 0; column < value.width; ++column) {
      buffer_.append(column ? ",\"" : "\"").append(value.columns[column]).append("\":");
      json_value(value.cells[row * value.width + column]);
    }
    buffer_ += '}';
  }
  buffer_ += ']';
}

void Output::plain_value(const Value& value) {
  if (value.kind != Value::kBytes && value.kind != Value::kLiteral) return;
  if (value.text.size() < kFlushSize) {
    buffer_.append(value.text);
    return;
  }
  // A long result (join, concat) is written from where it is, not copied.
  flush();
  write_all(value.text);
}

// One line per row: the key without its plural "s", then the row's values.
void Output::plain_rows(std::string_view key, const Value& rows) {
  key.remove_suffix(1);
  for (std::size_t row = 0; row < rows.count; ++row) {
    buffer_.append(key);
    for (std::size_t column = 0; column < rows.width; ++column) {
      buffer_ += '\t';
      plain_value(rows.cells[row * rows.width + column]);
    }
    buffer_ += terminator_;
  }
}

bool Output::flush() {
  write_all(buffer_);
  buffer_.clear();
  open_record_ = 0;
  return ok();
}

void Output::flush_records() {
  if (!inputs_open_) {
    flush();
    return;
  }
  write_all(std::string_view(buffer_).substr(0, open_record_));
  buffer_.erase(0, open_record_);
  open_record_ = 0;
}

void Output::write_all(std::string_view bytes) {
  std::size_t done = 0;
  while (ok() && done < bytes.size()) {
    const ssize_t wrote = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (wrote >= 0)
      done += static_cast<std::size_t>(wrote);
    else if (errno != EINTR)
      error_ = errno;
  }
}

}  // namespace vornel::tool
