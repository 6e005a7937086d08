// relative, proximate and is-within: in the default mode through the operand
// forms, placed in the working directory where their text does not relate
// them; with --lexical through the elements as written.
#include "relation.h"

#include <algorithm>

#include "forms.h"
#include "levels.h"
#include "operand.h"

namespace vornel::tool {

using std::filesystem::path;

Relation::Relation(const Request& request)
    : lexical_(request.lexical), base_(request.operand), here_(request) {
  if (!lexical_) operand_form(request.operand, base_form_);
}

Value Relation::relative(std::string_view text) {
  if (lexical_) {
    result_ = path(text).lexically_relative(base_).native();
    return result_.empty() ? Value::none() : Value::bytes(result_);
  }
  const std::string_view from = operand_form(text, form_);
  if (same_frame(from, base_form_)) return Value::bytes(relate(from, base_form_, result_));
  const std::string_view base = placed_base();
  return Value::bytes(relate(here_.placed(from, placed_), base, result_));
}

Value Relation::proximate(std::string_view text) {
  const Value answer = relative(text);
  return answer.kind == Value::kNone ? Value::bytes(text) : answer;
}

bool Relation::holds(std::string_view text) {
  if (lexical_) return lexically_holds(text);
  if (base_form_ == "/") return true;  // the root holds every path
  const std::string_view from = operand_form(text, form_);
  if (same_frame(from, base_form_)) return forms::lies_within(from, base_form_);
  const std::string_view dir = placed_base();
  return forms::lies_within(here_.placed(from, placed_), dir);
}

// PATH must go on from where DIR ends and never climb above it; DIR may end
// in "." and a trailing separator, which lead nowhere.
bool Relation::lexically_holds(std::string_view text) {
  path_ = path(text);
  if (base_.has_root_directory() != path_.has_root_directory()) return false;
  if (base_.has_root_directory() && !base_.has_relative_path()) return true;
  const auto [rest_of_dir, rest] =
      std::mismatch(base_.begin(), base_.end(), path_.begin(), path_.end(), same_element);
  return std::all_of(rest_of_dir, base_.end(), [](const path& e) { return step(e) == 0; }) &&
         lowest(rest, path_.end()) == 0;
}

std::string_view Relation::placed_base() {
  if (is_absolute(base_form_)) return base_form_;
  if (placed_base_.empty()) here_.placed(base_form_, placed_base_);
  return placed_base_;
}

}  // namespace vornel::tool
