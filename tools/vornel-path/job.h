// One run of a command: the state its answers keep between PATHs, of the
// type named for that command.
#ifndef VORNEL_TOOLS_JOB_H
#define VORNEL_TOOLS_JOB_H

#include <string>
#include <variant>

#include "commands.h"
#include "common.h"
#include "operation.h"
#include "parts.h"
#include "relation.h"
#include "working_directory.h"

namespace vornel::tool {

// The state of join and concat: their one result, built PATH by PATH.
struct Fold {
  explicit Fold(const Request&) {}
  std::string result;
};

class Job {
 public:
  explicit Job(const Request& request) : request_(request) {}

  // The command's state, made on first use; a command asks for one type.
  template <class State>
  State& state() {
    if (!std::holds_alternative<State>(state_)) state_.template emplace<State>(request_);
    return std::get<State>(state_);
  }

 private:
  const Request& request_;
  std::variant<std::monostate, Operation, WorkingDirectory, Relation, Common, Parts, Fold> state_;
};

}  // namespace vornel::tool

#endif  // VORNEL_TOOLS_JOB_H
