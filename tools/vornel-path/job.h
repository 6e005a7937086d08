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
  // The relative form of `text` against BASE; none where the text gives
  // none. proximate: `text` itself there, normalised.
  Value relative(std::string_view text, bool proximate);
  Value absolute(std::string_view text);
  Answer parts(std::string_view text);

  // common: `text` cuts the part that the PATHs so far share.
  void narrow(std::string_view text);
  Answer shared() const;
  // join and concat: the result so far.
  std::string& folded() { return result_; }

 private:
  std::string_view operand_text(std::string_view text, std::string& out);
  const std::string& cwd();

  const Request& request_;
  const path operand_;
  std::string base_text_;
  const path base_;  // BASE or DIR, normalised unless --lexical
  path path_, result_path_;
  std::string result_, scratch_, joined_, cwd_;
  std::optional<path> shared_;
  bool disjoint_ = false;
  // parts' record
  std::array<path, 6> parts_;
  std::array<Field, 8> fields_;
  std::vector<Value> cells_;
  std::string digits_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_JOB_H
