// The answers of one operation that outlive the call that made them.
#include "operation.h"

#include <utility>

#include "forms.h"

namespace vornel::tool {

Value Operation::stored(std::filesystem::path&& result) {
  result_path_ = std::move(result);
  return Value::bytes(result_path_.native());
}

Value Operation::stored(std::string&& result) {
  result_.swap(result);
  return Value::bytes(result_);
}

Value Operation::normal(std::string_view text) {
  if (forms::normal(text, result_)) return Value::bytes(result_);
  return stored(std::filesystem::path(text).lexically_normal());
}

}  // namespace vornel::tool
