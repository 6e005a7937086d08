// The answers of one run that need more than one step or hold state.
#include "job.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "forms.h"

namespace vornel::tool {
namespace {

const char* kind_name(path::_Type kind) {
  return kind == path::_Type::_Rootdir ? "root-directory" : "filename";
}

// `value` in decimal, appended to `out`, which must not grow past its
// capacity so that earlier views into it stay valid.
std::string_view decimal(std::string& out, std::size_t value) {
  char digits[24];
  const std::size_t start = out.size();
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
  return std::string_view(out).substr(start);
}

}  // namespace

Job::Job(const Request& request)
    : request_(request),
      operand_(request.operand),
      base_(request.lexical ? operand_ : path(operand_text(request.operand, base_text_))) {}

Value Job::keep(path&& result) {
  result_path_ = std::move(result);
  return Value::bytes(result_path_.native());
}

Value Job::keep(std::string&& text) {
  result_.swap(text);
  return Value::bytes(result_);
}

Value Job::normal(std::string_view text) {
  if (forms::normal(text, result_)) return Value::bytes(result_);
  return keep(path(text).lexically_normal());
}

Value Job::relative(std::string_view text, bool proximate) {
  const std::string_view from = request_.lexical ? text : operand_text(text, scratch_);
  if (request_.lexical || !forms::relative(from, base_.native(), result_))
    result_ = path(from).lexically_relative(base_).native();
  if (!result_.empty()) return Value::bytes(result_);
  if (!proximate) return Value::none();
  // Only the empty path and the paths whose normal form is "." have the
  // empty operand form.
  return Value::bytes(from.empty() && !text.empty() ? "." : from);
}

Value Job::absolute(std::string_view text) {
  if (text.empty() || text[0] != '/') {
    joined_.assign(cwd()).append("/").append(text);
    text = joined_;
  }
  const std::string_view p = operand_text(text, result_);
  // A root alone keeps as many separators as it was written with.
  return Value::bytes(p.find_first_not_of('/') == std::string_view::npos ? "/" : p);
}

Answer Job::parts(std::string_view text) {
  static const std::string_view kColumns[] = {"pos", "kind", "text"};
  const path& p = of(text);
  parts_ = {p.root_directory(), p.relative_path(), p.parent_path(),
            p.filename(),       p.stem(),          p.extension()};
  const std::size_t count = std::distance(p.begin(), p.end());
  digits_.clear();
  digits_.reserve(24 * (count + 1));
  cells_.clear();
  const bool multi = p._M_type() == path::_Type::_Multi;
  for (const path& element : p) {
    const std::size_t pos = multi ? static_cast<const path::_Cmpt&>(element)._M_pos : 0;
    cells_.insert(cells_.end(), {Value::literal(decimal(digits_, pos)),
                                 Value::bytes(kind_name(element._M_type())),
                                 Value::bytes(element.native())});
  }
  fields_ = {{{"root_directory", Value::bytes(parts_[0].native())},
              {"relative_path", Value::bytes(parts_[1].native())},
              {"parent_path", Value::bytes(parts_[2].native())},
              {"filename", Value::bytes(parts_[3].native())},
              {"stem", Value::bytes(parts_[4].native())},
              {"extension", Value::bytes(parts_[5].native())},
              {"absolute", Value::boolean(p.is_absolute())},
              {"components", Value::rows(cells_.data(), count, kColumns, 3)}}};
  return {Value::literal(decimal(digits_, count)), 0, fields_.data(), fields_.size()};
}

void Job::narrow(std::string_view text) {
  path p(request_.lexical ? text : operand_text(text, scratch_));
  if (!shared_) {
    shared_ = std::move(p);
  } else if (shared_->has_root_directory() != p.has_root_directory()) {
    disjoint_ = true;
  } else if (!disjoint_) {
    path prefix;
    for (auto a = shared_->begin(), b = p.begin();
         a != shared_->end() && b != p.end() && a->compare(*b) == 0; ++a, ++b)
      prefix /= *a;
    shared_ = std::move(prefix);
  }
}

Answer Job::shared() const {
  if (!shared_ || disjoint_) return {Value::none(), 1};
  return {Value::bytes(shared_->native())};
}

// forms::operand, by the library where the text alone does not give it.
std::string_view Job::operand_text(std::string_view text, std::string& out) {
  if (forms::operand(text, out)) return out;
  path p = path(text).lexically_normal();
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  out = p.native() == "." ? std::string() : p.native();
  return out;
}

// The directory that absolute works against, read on first use.
const std::string& Job::cwd() {
  if (!cwd_.empty()) return cwd_;
  std::string dir(request_.cwd);
  if (!request_.has_cwd || dir.empty() || dir[0] != '/') {
    char* here = getcwd(nullptr, 0);
    if (!here)
      throw std::runtime_error(std::string("reading the working directory: ") +
                               std::strerror(errno));
    dir = std::string(here) + "/" + dir;
    std::free(here);
  }
  operand_text(dir, cwd_);
  return cwd_;
}

}  // namespace vornel::tool
