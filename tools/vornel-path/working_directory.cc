// The working directory's name, and operands placed in it.
#include "working_directory.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "operand.h"

namespace vornel::tool {

Value WorkingDirectory::absolute(std::string_view text) {
  return Value::bytes(placed(operand_form(text, form_), result_));
}

std::string_view WorkingDirectory::placed(std::string_view form, std::string& out) {
  if (!form.empty() && form[0] == '/') return form;
  joined_.assign(name()).append("/").append(form);
  return operand_form(joined_, out);
}

// DIR of --cwd DIR is taken from the working directory where it is relative,
// and an empty one is the working directory itself.
const std::string& WorkingDirectory::name() {
  if (!name_.empty()) return name_;
  std::string dir(request_.cwd);
  if (!request_.has_cwd || dir.empty() || dir[0] != '/') {
    char* here = getcwd(nullptr, 0);
    if (!here)
      throw std::runtime_error(std::string("reading the working directory: ") +
                               std::strerror(errno));
    dir = std::string(here) + "/" + dir;
    std::free(here);
  }
  operand_form(dir, name_);
  return name_;
}

}  // namespace vornel::tool
