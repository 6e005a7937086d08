// The state of the commands that answer each PATH with one operation of the
// library: normal, stem, extension, root, is-absolute, remove-filename,
// replace-filename, replace-extension, compare and hash.
#ifndef VORNEL_TOOLS_OPERATION_H
#define VORNEL_TOOLS_OPERATION_H

#include <fs_path>
#include <string>
#include <string_view>

#include "commands.h"

namespace vornel::tool {

class Operation {
 public:
  explicit Operation(const Request& request) : operand_(request.operand) {}

  // OPERAND as a path: NAME, EXT or A.
  const std::filesystem::path& operand() const { return operand_; }
  // A path of `text`, valid until the next call.
  std::filesystem::path& path_of(std::string_view text) {
    return path_ = std::filesystem::path(text);
  }
  // `result` as the answer, stored until the next record.
  Value stored(std::filesystem::path&& result);
  Value stored(std::string&& result);

  // The normal form of `text`, read off the text where it is plain.
  Value normal(std::string_view text);

 private:
  const std::filesystem::path operand_;
  std::filesystem::path path_, result_path_;
  std::string result_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_OPERATION_H
