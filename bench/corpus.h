// The paths every benchmark runs over, the same texts for both libraries, and
// the derived texts that the comparing and relating operations need.
#ifndef VORNEL_BENCH_CORPUS_H
#define VORNEL_BENCH_CORPUS_H

#include <string>
#include <vector>

namespace vornel::bench {

struct Corpus {
  std::vector<std::string> texts;
  // Each text written differently with the same elements: doubled separators.
  std::vector<std::string> respelled;
  // A base directory for each text that shares its leading part.
  std::vector<std::string> bases;
  // A base for each text that may share nothing (the next text of the corpus).
  std::vector<std::string> strangers;
  // The pieces each text is built from by appending one at a time: "/" for a
  // root directory, each filename, and "" for a trailing separator.
  std::vector<std::vector<std::string>> pieces;
};

const Corpus& corpus();

}  // namespace vornel::bench

#endif  // VORNEL_BENCH_CORPUS_H
