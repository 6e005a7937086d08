// Counts the allocations of the whole process (the benchmark, libvornel.so
// and the peer) through a replacement of the global operator new.
#ifndef VORNEL_BENCH_ALLOC_COUNT_H
#define VORNEL_BENCH_ALLOC_COUNT_H

namespace vornel::bench {

// Allocations made since the process started.
unsigned long allocations();

}  // namespace vornel::bench

#endif  // VORNEL_BENCH_ALLOC_COUNT_H
