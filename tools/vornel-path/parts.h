// The state of parts: one record of every part of a PATH, with a row for
// each component, in buffers that every record reuses.
#ifndef VORNEL_TOOLS_PARTS_H
#define VORNEL_TOOLS_PARTS_H

#include <array>
#include <fs_path>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"

namespace vornel::tool {

class Parts {
 public:
  explicit Parts(const Request&) {}

  // The record of `text`: the number of its components, with every part as
  // a field; valid until the next call.
  Answer answer(std::string_view text);

 private:
  std::filesystem::path path_;
  std::array<std::filesystem::path, 6> parts_;
  std::array<Field, 8> fields_;
  std::vector<Value> cells_;
  std::string digits_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_PARTS_H
