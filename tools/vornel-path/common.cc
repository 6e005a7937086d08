// common: in the default mode on the operand forms, placed in the working
// directory where their text does not relate them; with --lexical on the
// elements as written, with a count of how far the PATHs climb.
#include "common.h"

#include <algorithm>
#include <iterator>

#include "forms.h"
#include "levels.h"
#include "operand.h"

namespace vornel::tool {

using std::filesystem::path;

void Common::add(std::string_view text) {
  if (lexical_) return lexically_add(text);
  std::string_view form = operand_form(text, form_);
  any_absolute_ |= is_absolute(form);
  if (!shared_form_) {
    shared_form_.emplace(form);
    return;
  }
  if (!same_frame(form, *shared_form_)) {
    if (!is_absolute(*shared_form_)) shared_form_->assign(here_.placed(*shared_form_, placed_));
    form = here_.placed(form, placed_);
  }
  shared_form_->resize(forms::shared(*shared_form_, form).size());
}

// The shared part is cut back to what this PATH shares. The elements cut off
// led down from what is left, so the PATHs so far climb above it by as much
// less; this PATH climbs above it as far as its own rest does.
void Common::lexically_add(std::string_view text) {
  const path p(text);
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

Answer Common::answer() {
  if (lexical_) return lexical_answer();
  if (!shared_form_) return {Value::none(), 1};
  if (any_absolute_ || (!is_absolute(*shared_form_) && forms::climb(*shared_form_) == 0))
    return {Value::bytes(*shared_form_)};
  // Relative PATHs only: the way there from the working directory, which
  // is the empty path itself.
  const std::string_view place = here_.placed(*shared_form_, placed_);
  if (relate(place, here_.name(), result_) == ".") result_.clear();
  return {Value::bytes(result_)};
}

// The longest part of what the PATHs share that none climbs above; the root
// holds every absolute PATH.
Answer Common::lexical_answer() {
  if (!shared_ || disjoint_) return {Value::none(), 1};
  while (dip_ < 0 && !shared_->empty()) {
    if (!shared_->has_relative_path()) return {Value::bytes(shared_->native())};
    dip_ = std::min(0, step(*std::prev(shared_->end())) + dip_);
    shared_ = shared_->parent_path();
  }
  if (dip_ < 0) return {Value::none(), 1};
  return {Value::bytes(shared_->native())};
}

}  // namespace vornel::tool
