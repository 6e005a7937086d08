// The states a failed replace may leave, each built by the calls that make
// the steps it completed.
#include "support/failed_replace.h"

#include "support/raw_state.h"

namespace vornel::test {

std::vector<std::string> states_after_failed_replace_filename(const path& p) {
  path removed(p);
  removed.remove_filename();
  return {state(removed)};
}

std::vector<std::string> states_after_failed_replace_extension(const path& p, const path& arg) {
  path cut(p);
  cut.replace_extension();
  std::vector<std::string> states{state(cut)};
  if (!arg.empty() && arg.native()[0] != '.') {
    cut._M_concat(".");
    states.push_back(state(cut));
  }
  return states;
}

}  // namespace vornel::test
