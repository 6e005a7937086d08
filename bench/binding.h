// Proves that the path names the benchmark calls bind into our libvornel.so:
// the system runtime defines the same names and would otherwise serve them.
#ifndef VORNEL_BENCH_BINDING_H
#define VORNEL_BENCH_BINDING_H

#include <string>
#include <vector>

namespace vornel::bench {

// The exported path names that this process does not bind into
// libvornel.so, including those the library does not define (yet).
std::vector<std::string> misbound_path_names();

}  // namespace vornel::bench

#endif  // VORNEL_BENCH_BINDING_H
