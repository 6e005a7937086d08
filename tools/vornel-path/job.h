// The state of one run of a vornel-path command: its operand, prepared once,
// the buffers that every record reuses, and the answers that take more than
// one step, by the text-level forms where they suffice and by the library
// otherwise.
#ifndef VORNEL_TOOLS_JOB_H
#define VORNEL_TOOLS_JOB_H

#include <array>
#include <fs_path>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"

namespace vornel::tool {

using std::filesystem::path;

class Job {
 public:
  explicit Job(const Request& request);

  // OPERAND as a path: NAME, EXT or A.
  const path& operand() const { return operand_; }

  // A path of `text` that stays valid until the next call.
  path& of(std::string_view text) { return path_ = path(text); }
  // A result that stays valid until the next record.
  Value keep(path&& result);
  Value keep(std::string&& text);

  Value normal(std::string_view text);
  // The relative form of `text` against BASE. proximate: `text` itself
  // where there is none, which only --lexical may find.
  Value relative(std::string_view text, bool proximate);
  Value absolute(std::string_view text);
  // is-within: whether `text` names DIR or a path below it.
  bool within(std::string_view text);
  Answer parts(std::string_view text);

  // common: `text` cuts the part that the PATHs so far share.
  void narrow(std::string_view text);
  Answer shared();
  // join and concat: the result so far.
  std::string& folded() { return result_; }

 private:
  std::string_view operand_text(std::string_view text, std::string& out);
  // An operand form made absolute against the working directory, which is
  // read here on first use; an absolute one as it is.
  std::string_view placed(std::string_view form, std::string& out);
  // BASE or DIR, placed.
  std::string_view placed_base();
  const std::string& cwd();
  const std::string& relate(std::string_view from, std::string_view base);
  bool lexically_within(std::string_view text);
  void lexically_narrow(std::string_view text);
  Answer lexically_shared();

  const Request& request_;
  const path operand_;     // also BASE or DIR as written, for --lexical
  std::string base_text_;  // BASE or DIR in operand form, unless --lexical
  std::string placed_base_;
  path path_, result_path_;
  std::string result_, scratch_, joined_, placed_, cwd_;
  // common: the part shared so far, in operand form, and what the PATHs were
  std::optional<std::string> common_;
  bool any_absolute_ = false;
  // common --lexical: the part shared so far as written, and the most that
  // any PATH climbs with ".." below it (a count of levels, at most 0)
  std::optional<path> shared_;
  bool disjoint_ = false;
  int dip_ = 0;
  // parts' record
  std::array<path, 6> parts_;
  std::array<Field, 8> fields_;
  std::vector<Value> cells_;
  std::string digits_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_JOB_H
