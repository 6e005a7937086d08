// Private to the library: filling a component list from a scan, the batch
// gathered before its block was reserved and the components still to come.
#ifndef VORNEL_SRC_PATH_FILL_H
#define VORNEL_SRC_PATH_FILL_H

#include <string_view>

#include "batch.h"
#include "detail.h"
#include "parser.h"

namespace std::filesystem::__cxx11 {

// Appends components one after another into room reserved for them, the
// block and the next slot held across the calls to _List(); the size is
// raised after each, so that a failure leaves the list consistent.
class path::_Detail::Filler {
 public:
  explicit Filler(_List& l) noexcept
      : block_(impl(l)), to_(block_->end()), size_(block_->_M_size) {}

  void add(std::string_view text, _Type kind, std::size_t pos) {
    construct(to_++, text, kind, pos);
    block_->_M_size = ++size_;
  }

  // Adds the batch's components from the `from`-th on, each at its place in
  // the text that `parser` scans. The caller has reserved room for them.
  static void add_batch(_List& l, const _Parser& parser, const vornel::ParseBatch& batch,
                        int from = 0) {
    Filler fill(l);
    for (int i = from, n = batch.size(); i < n; ++i)
      fill.add(batch[i].text, batch[i].kind, parser.position(batch[i]));
  }

  // add_batch(), then, when gather() set one aside, that one and every
  // further one the parser yields.
  static void add_gathered(_List& l, _Parser& parser, const vornel::ParseBatch& batch,
                           int from = 0) {
    add_batch(l, parser, batch, from);
    for (auto c = batch.set_aside(); c.valid(); c = parser.next())
      emplace_back(l, c.text, c.kind, parser.position(c));
  }

 private:
  _Impl* const block_;
  _Cmpt* to_;
  int size_;
};

}  // namespace std::filesystem::__cxx11

#endif  // VORNEL_SRC_PATH_FILL_H
