// Runs every operation on libvornel's path, on the peer's and, where one
// exists, on its floor kernel, once the kernels are found to give the
// library's results; prints Google Benchmark's results, then the table of
// ours/peer ratios of the medians with the allocations each operation makes,
// and the table of ours/floor ratios. With --instructions=K it runs each
// operation K times under callgrind's collection instead.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define VORNEL_HAVE_CALLGRIND 1
#endif

#include "alloc_count.h"
#include "ops.h"
#include "support/binding_guard.h"

namespace vornel::bench {
namespace {

struct Side {
  const char* name;
  std::vector<Op> ops;

  // The side's run of an operation, if it has one.
  const Op* find(const char* op) const {
    for (const Op& o : ops)
      if (o.name == op) return &o;
    return nullptr;
  }
};

// The sides that the floor tables set against ours.
const char* const kFloors[] = {"floor", "floor_inbuf"};

struct Result {
  double time = 0;  // per pass, in nanoseconds
  double allocs = 0;
  double items = 1;
};

void run(benchmark::State& state, const Op& op) {
  if (op.prepare) op.prepare();
  const unsigned long before = allocations();
  op.pass();
  state.counters["allocs"] = double(allocations() - before) / double(op.items);
  state.counters["items"] = double(op.items);
  for (auto _ : state) {
    if (op.prepare) {
      state.PauseTiming();
      op.prepare();
      state.ResumeTiming();
    }
    op.pass();
  }
}

// The console output, then the table of ratios from the medians (from the
// single run when there are no repetitions).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
      if (!median && !single) continue;
      Result& out = results_[r.run_name.function_name];
      out.time = r.GetAdjustedRealTime();
      auto allocs = r.counters.find("allocs");
      auto items = r.counters.find("items");
      if (allocs != r.counters.end()) out.allocs = allocs->second.value;
      if (items != r.counters.end()) out.items = items->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-18s %10s %10s %9s %7s %5s %12s %12s\n", "operation", "ours ns",
                "peer ns", "ours/peer", "target", "met", "allocs ours",
                "allocs peer");
    int met = 0, targets = 0;
    for (const OpInfo& info : kOps) {
      auto ours = results_.find(std::string(info.name) + "/ours");
      auto peer = results_.find(std::string(info.name) + "/peer");
      if (ours == results_.end() || peer == results_.end()) continue;
      const double ns_ours = ours->second.time / ours->second.items;
      const double ns_peer = peer->second.time / peer->second.items;
      const double ratio = ns_ours / ns_peer;
      char target[16] = "-";
      const char* verdict = "";
      if (info.target > 0) {
        std::snprintf(target, sizeof target, "%.1f", info.target);
        ++targets;
        verdict = ratio <= info.target ? "yes" : "NO";
        met += ratio <= info.target;
      }
      std::printf("%-18s %10.1f %10.1f %9.2f %7s %5s %12.2f %12.2f\n", info.name, ns_ours,
                  ns_peer, ratio, target, verdict, ours->second.allocs,
                  peer->second.allocs);
    }
    std::printf("\ntargets met: %d of %d\n", met, targets);
    print_floors();
  }

 private:
  void print_floors() const {
    std::printf("\n%-18s %-12s %10s %10s %10s %12s %12s\n", "operation", "floor",
                "ours ns", "floor ns", "ours/floor", "allocs ours", "allocs floor");
    for (const OpInfo& info : kOps) {
      auto ours = results_.find(std::string(info.name) + "/ours");
      if (ours == results_.end()) continue;
      for (const char* side : kFloors) {
        auto floor = results_.find(std::string(info.name) + "/" + side);
        if (floor == results_.end()) continue;
        const double ns_ours = ours->second.time / ours->second.items;
        const double ns_floor = floor->second.time / floor->second.items;
        std::printf("%-18s %-12s %10.1f %10.1f %10.2f %12.2f %12.2f\n", info.name, side,
                    ns_ours, ns_floor, ns_ours / ns_floor, ours->second.allocs,
                    floor->second.allocs);
      }
    }
  }

  std::map<std::string, Result> results_;
};

int benchmark_all(const std::vector<Side>& sides, int argc, char** argv) {
  for (const OpInfo& info : kOps)
    for (const Side& side : sides)
      if (const Op* op = side.find(info.name)) {
        const std::string name = op->name + "/" + side.name;
        benchmark::RegisterBenchmark(name.c_str(), run, *op)->Unit(benchmark::kNanosecond);
      }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

// Each operation runs `passes` times with collection on, and its counts are
// dumped under the name "operation/side"; one line per dump tells the
// counting script how many applications it holds.
int count_instructions(const std::vector<Side>& sides, int passes) {
#ifdef VORNEL_HAVE_CALLGRIND
  for (const OpInfo& info : kOps)
    for (const Side& side : sides) {
      const Op* op = side.find(info.name);
      if (!op) continue;
      const std::string name = op->name + "/" + side.name;
      if (op->prepare) op->prepare();
      op->pass();  // first-use costs stay out of the count
      for (int k = 0; k < passes; ++k) {
        if (op->prepare) op->prepare();
        CALLGRIND_TOGGLE_COLLECT;
        op->pass();
        CALLGRIND_TOGGLE_COLLECT;
      }
      CALLGRIND_DUMP_STATS_AT(name.c_str());
      std::printf("applications %s %zu\n", name.c_str(), op->items * std::size_t(passes));
    }
  return 0;
#else
  (void)sides;
  (void)passes;
  std::fprintf(stderr, "built without valgrind/callgrind.h: no instruction counts\n");
  return 2;
#endif
}

}  // namespace
}  // namespace vornel::bench

int main(int argc, char** argv) {
  using namespace vornel::bench;
  if (!vornel::guard::bindings_are_ours("vornel_bench")) return 1;
  // Like the binding guard: figures against a floor that gives other
  // results than the library's would mean nothing.
  if (!floors_match_library()) return 1;
  std::vector<Side> sides{{"ours", ours_operations()},
                          {"peer", peer_operations()},
                          {kFloors[0], floor_operations()},
                          {kFloors[1], inbuf_floor_operations()}};
  if (argc > 1 && std::strncmp(argv[1], "--instructions=", 15) == 0)
    return count_instructions(sides, std::atoi(argv[1] + 15));
  return benchmark_all(sides, argc, argv);
}
