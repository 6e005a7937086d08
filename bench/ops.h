// The benchmarked operations, written once against the common path interface
// and instantiated by each side for its own path type (sides.cc), so that
// both run the same code over the same corpus.
#ifndef VORNEL_BENCH_OPS_H
#define VORNEL_BENCH_OPS_H

#include <benchmark/benchmark.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "corpus.h"

namespace vornel::bench {

// One operation: `pass` applies it to every path of the corpus (`items`
// applications); `prepare`, when set, builds the fresh inputs a changing
// operation consumes, outside the measured time.
struct Op {
  std::string name;
  std::size_t items;
  std::function<void()> prepare;
  std::function<void()> pass;
};

// The path members that a floor kernel (floor.cc) can stand in for, as each
// side's path class does them; a side may hide any of them with its own.
template <typename Path>
struct Members {
  static Path construct(const std::string& text) { return Path(text); }
  static Path parent_path(const Path& p) { return p.parent_path(); }
  static void append(Path& w, const Path& p) { w /= p; }
  static void concat(Path& w, const Path& p) { w += p; }
  static Path normal(const Path& p) { return p.lexically_normal(); }
  static Path relative(const Path& p, const Path& base) { return p.lexically_relative(base); }
  static Path proximate(const Path& p, const Path& base) { return p.lexically_proximate(base); }
};

// The operations in table order, with their targets for ours/peer time.
struct OpInfo {
  const char* name;
  double target;  // 0: reported only
  const char* what;
};
inline const OpInfo kOps[] = {
    {"construct", 0, "path(text): ours splits eagerly, the peer copies"},
    {"construct_iterate", 0.5, "path(text), then walk its elements"},
    {"iterate", 0.5, "walk the elements of a built path"},
    {"parent_path", 0.5, "p.parent_path()"},
    {"filename", 0.5, "p.filename()"},
    {"extension", 0.5, "p.extension()"},
    {"append", 1.0, "build each path from empty by /= path(piece)"},
    {"append_text", 1.0, "build each path from empty by /= std::string(piece)"},
    {"append_copy", 1.0, "fresh copy /= path(\"file.txt\")"},
    {"concat", 1.0, "fresh copy += std::string(\".tmp\")"},
    {"concat_path", 1.0, "fresh copy += path(\".tmp\")"},
    {"compare_equal", 0.5, "p.compare(q), q another path of the same text"},
    {"compare_respelled", 0.5, "p.compare(q), q with every separator doubled"},
    {"compare_other", 0.5, "p.compare(q), q the next path of the corpus"},
    {"hash", 1.0, "hash_value(p)"},
    {"normal", 0.5, "p.lexically_normal()"},
    {"relative", 0.5, "p.lexically_relative(base sharing a prefix)"},
    {"proximate", 0.5, "p.lexically_proximate(next path of the corpus)"},
    {"replace_extension", 1.0, "fresh copy .replace_extension(path(\".d\"))"},
};

// Copies made for each pass of a changing operation, so that the preparation
// between passes is small beside the measured work.
inline constexpr int kFreshCopies = 8;

template <typename Side>
std::vector<Op> operations() {
  using Path = typename Side::Path;
  struct Data {
    std::vector<std::string> texts;
    std::vector<Path> paths, twins, respelled, others, bases, strangers, work;
    std::vector<std::vector<Path>> pieces;
    std::vector<std::vector<std::string>> piece_texts;
    std::size_t piece_count = 0;
    Path leaf{"file.txt"}, suffix{".tmp"}, ext{".d"};
    std::string suffix_text{".tmp"};
  };
  auto d = std::make_shared<Data>();
  const Corpus& c = corpus();
  d->texts = c.texts;
  const std::size_t n = c.texts.size();
  for (std::size_t i = 0; i < n; ++i) {
    d->paths.emplace_back(c.texts[i]);
    d->twins.emplace_back(c.texts[i]);
    d->respelled.emplace_back(c.respelled[i]);
    d->others.emplace_back(c.texts[(i + 1) % n]);
    d->bases.emplace_back(c.bases[i]);
    d->strangers.emplace_back(c.strangers[i]);
    d->pieces.emplace_back(c.pieces[i].begin(), c.pieces[i].end());
    d->piece_texts.push_back(c.pieces[i]);
    d->piece_count += c.pieces[i].size();
  }
  d->work.reserve(n * kFreshCopies);

  auto fresh = [d] {
    d->work.clear();
    for (int r = 0; r < kFreshCopies; ++r)
      for (const Path& p : d->paths) d->work.push_back(p);
  };
  auto changing = [&](const char* name, std::function<void(Path&)> change) {
    return Op{name, n * kFreshCopies, fresh, [d, change] {
                for (Path& w : d->work) change(w);
                benchmark::ClobberMemory();
              }};
  };
  auto reading = [&](const char* name, std::function<void()> pass) {
    return Op{name, n, nullptr, std::move(pass)};
  };
  // Reads each corpus path and makes a new path of it.
  auto deriving = [&](const char* name, auto derive) {
    return reading(name, [d, derive] {
      for (const Path& p : d->paths) {
        Path r = derive(p);
        benchmark::DoNotOptimize(r);
      }
    });
  };
  // Makes a new path of each corpus path and the path of `with` at its index.
  auto relating = [&](const char* name, const std::vector<Path>& with, auto relate) {
    const std::vector<Path>* q = &with;
    return reading(name, [d, q, relate] {
      for (std::size_t i = 0; i < d->paths.size(); ++i) {
        Path r = relate(d->paths[i], (*q)[i]);
        benchmark::DoNotOptimize(r);
      }
    });
  };

  std::vector<Op> ops;
  ops.push_back(reading("construct", [d] {
    for (const std::string& t : d->texts) {
      Path p = Side::construct(t);
      benchmark::DoNotOptimize(p);
    }
  }));
  ops.push_back(reading("construct_iterate", [d] {
    for (const std::string& t : d->texts) {
      Path p(t);
      std::size_t bytes = 0;
      for (const Path& e : p) bytes += e.native().size();
      benchmark::DoNotOptimize(bytes);
    }
  }));
  ops.push_back(reading("iterate", [d] {
    for (const Path& p : d->paths) {
      std::size_t bytes = 0;
      for (const Path& e : p) bytes += e.native().size();
      benchmark::DoNotOptimize(bytes);
    }
  }));
  ops.push_back(deriving("parent_path", [](const Path& p) { return Side::parent_path(p); }));
  ops.push_back(deriving("filename", [](const Path& p) { return p.filename(); }));
  ops.push_back(deriving("extension", [](const Path& p) { return p.extension(); }));
  ops.push_back(Op{"append", d->piece_count, nullptr, [d] {
                     for (const auto& pieces : d->pieces) {
                       Path w;
                       for (const Path& piece : pieces) Side::append(w, piece);
                       benchmark::DoNotOptimize(w);
                     }
                   }});
  ops.push_back(Op{"append_text", d->piece_count, nullptr, [d] {
                     for (const auto& pieces : d->piece_texts) {
                       Path w;
                       for (const std::string& piece : pieces) w /= piece;
                       benchmark::DoNotOptimize(w);
                     }
                   }});
  ops.push_back(changing("append_copy", [d](Path& w) { Side::append(w, d->leaf); }));
  ops.push_back(changing("concat", [d](Path& w) { w += d->suffix_text; }));
  ops.push_back(changing("concat_path", [d](Path& w) { Side::concat(w, d->suffix); }));
  auto comparing = [&](const char* name, const std::vector<Path>& with) {
    const std::vector<Path>* q = &with;
    return reading(name, [d, q] {
      int sum = 0;
      for (std::size_t i = 0; i < d->paths.size(); ++i)
        sum += d->paths[i].compare((*q)[i]) < 0;
      benchmark::DoNotOptimize(sum);
    });
  };
  ops.push_back(comparing("compare_equal", d->twins));
  ops.push_back(comparing("compare_respelled", d->respelled));
  ops.push_back(comparing("compare_other", d->others));
  ops.push_back(reading("hash", [d] {
    std::size_t h = 0;
    for (const Path& p : d->paths) h ^= Side::hash(p);
    benchmark::DoNotOptimize(h);
  }));
  ops.push_back(deriving("normal", [](const Path& p) { return Side::normal(p); }));
  ops.push_back(relating("relative", d->bases,
                          [](const Path& p, const Path& b) { return Side::relative(p, b); }));
  ops.push_back(relating("proximate", d->strangers,
                          [](const Path& p, const Path& b) { return Side::proximate(p, b); }));
  ops.push_back(changing("replace_extension",
                         [d](Path& w) { w.replace_extension(d->ext); }));
  return ops;
}

// Each side's operations, in the order of kOps. The floors have only the
// operations that have a floor kernel: the plain ones, and construction that
// writes short names into the string's own buffer.
std::vector<Op> ours_operations();
std::vector<Op> peer_operations();
std::vector<Op> floor_operations();
std::vector<Op> inbuf_floor_operations();

// Whether every floor kernel gives the library's results on the corpus, the
// block capacities included; prints each difference on standard error.
bool floors_match_library();

}  // namespace vornel::bench

#endif  // VORNEL_BENCH_OPS_H
