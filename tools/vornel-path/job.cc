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

bool is_absolute(std::string_view form) { return !form.empty() && form[0] == '/'; }

// Whether the text of two operand forms relates them: both absolute, or
// both relative and climbing as far, so that the working directory's names
// would cancel out.
bool same_frame(std::string_view a, std::string_view b) {
  return is_absolute(a) == is_absolute(b) &&
         (is_absolute(a) || forms::climb(a) == forms::climb(b));
}

// How far an element leads below where it stands: a name one level down,
// ".." one up, "." and the empty last element nowhere.
int step(const path& element) {
  const std::string& text = element.native();
  if (text == "..") return -1;
  return text.empty() || text == "." ? 0 : 1;
}

// The lowest level that the elements reach below where they start: 0, or
// how many levels above it they climb at their highest.
int lowest(path::iterator first, path::iterator last) {
  int level = 0, low = 0;
  for (; first != last; ++first) low = std::min(low, level += step(*first));
  return low;
}

bool same_element(const path& a, const path& b) { return a.compare(b) == 0; }

}  // namespace

Job::Job(const Request& request)
    : request_(request), operand_(request.operand) {
  if (!request.lexical) operand_text(request.operand, base_text_);
}

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
  if (request_.lexical) {
    result_ = path(text).lexically_relative(operand_).native();
    if (!result_.empty()) return Value::bytes(result_);
    return proximate ? Value::bytes(text) : Value::none();
  }
  // Operand forms of one frame always relate: the answer is never empty.
  std::string_view from = operand_text(text, scratch_);
  if (same_frame(from, base_text_)) return Value::bytes(relate(from, base_text_));
  from = placed(from, placed_);
  return Value::bytes(relate(from, placed_base()));
}

Value Job::absolute(std::string_view text) {
  return Value::bytes(placed(operand_text(text, scratch_), result_));
}

bool Job::within(std::string_view text) {
  if (request_.lexical) return lexically_within(text);
  if (base_text_ == "/") return true;  // the root holds every path
  std::string_view from = operand_text(text, scratch_);
  if (same_frame(from, base_text_)) return forms::lies_within(from, base_text_);
  from = placed(from, placed_);
  return forms::lies_within(from, placed_base());
}

// PATH must go on from where DIR ends and never climb above it; DIR may end
// in "." and a trailing separator, which lead nowhere.
bool Job::lexically_within(std::string_view text) {
  const path& dir = operand_;
  const path& p = of(text);
  if (dir.has_root_directory() != p.has_root_directory()) return false;
  if (dir.has_root_directory() && !dir.has_relative_path()) return true;
  const auto [rest_of_dir, rest] =
      std::mismatch(dir.begin(), dir.end(), p.begin(), p.end(), same_element);
  return std::all_of(rest_of_dir, dir.end(), [](const path& e) { return step(e) == 0; }) &&
         lowest(rest, p.end()) == 0;
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
  if (request_.lexical) return lexically_narrow(text);
  std::string_view form = operand_text(text, scratch_);
  any_absolute_ |= is_absolute(form);
  if (!common_) {
    common_.emplace(form);
    return;
  }
  if (!same_frame(form, *common_)) {
    if (!is_absolute(*common_)) common_->assign(placed(*common_, placed_));
    form = placed(form, placed_);
  }
  common_->resize(forms::shared(*common_, form).size());
}

// The shared part is cut back to what this PATH shares. The elements cut off
// led down from what is left, so the PATHs so far climb above it by as much
// less; this PATH climbs above it as far as its own rest does.
void Job::lexically_narrow(std::string_view text) {
  const path& p = of(text);
  if (!shared_) {
    shared_ = p;
    return;
  }
  if (disjoint_ || shared_->has_root_directory() != p.has_root_directory()) {
    disjoint_ = true;
    return;
  }
  const auto [lost, rest] =
      std::mismatch(shared_->begin(), shared_->end(), p.begin(), p.end(), same_element);
  for (auto e = shared_->end(); e != lost;) dip_ = std::min(0, step(*--e) + dip_);
  dip_ = std::min(dip_, lowest(rest, p.end()));
  path prefix;
  for (auto e = shared_->begin(); e != lost; ++e) prefix /= *e;
  shared_ = std::move(prefix);
}

Answer Job::shared() {
  if (request_.lexical) return lexically_shared();
  if (!common_) return {Value::none(), 1};
  if (any_absolute_ || (!is_absolute(*common_) && forms::climb(*common_) == 0))
    return {Value::bytes(*common_)};
  // Relative PATHs only: the way there from the working directory, which
  // is the empty path itself.
  const std::string_view place = placed(*common_, placed_);
  if (relate(place, cwd()) == ".") result_.clear();
  return {Value::bytes(result_)};
}

// The longest part of what the PATHs share that none climbs above; the root
// holds every absolute PATH.
Answer Job::lexically_shared() {
  if (!shared_ || disjoint_) return {Value::none(), 1};
  while (dip_ < 0 && !shared_->empty()) {
    if (!shared_->has_relative_path()) return {Value::bytes(shared_->native())};
    dip_ = std::min(0, step(*std::prev(shared_->end())) + dip_);
    shared_ = shared_->parent_path();
  }
  if (dip_ < 0) return {Value::none(), 1};
  return {Value::bytes(shared_->native())};
}

// The relative form of one operand form against another of the same frame.
const std::string& Job::relate(std::string_view from, std::string_view base) {
  if (!forms::relative(from, base, result_))
    result_ = path(from).lexically_relative(path(base)).native();
  return result_;
}

std::string_view Job::placed(std::string_view form, std::string& out) {
  if (is_absolute(form)) return form;
  joined_.assign(cwd()).append("/").append(form);
  return operand_text(joined_, out);
}

std::string_view Job::placed_base() {
  if (is_absolute(base_text_)) return base_text_;
  if (placed_base_.empty()) placed(base_text_, placed_base_);
  return placed_base_;
}

// forms::operand, by the library where the text alone does not give it; a
// root alone is "/", however many separators it was written with.
std::string_view Job::operand_text(std::string_view text, std::string& out) {
  if (forms::operand(text, out)) return out;
  path p = path(text).lexically_normal();
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  if (p.native() == ".")
    out.clear();
  else if (!p.has_relative_path() && p.has_root_directory())
    out = "/";
  else
    out = p.native();
  return out;
}

// The working directory's name in operand form, read on first use: DIR of
// --cwd DIR, taken from the working directory where DIR is relative.
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
