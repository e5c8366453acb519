// Counts calls of the global operator new, for benchmarks that check a warm
// loop allocates nothing. Include it in exactly one file of a benchmark
// executable: it replaces the program's operator new and delete.
#pragma once
#include <atomic>
#include <cstdlib>
#include <new>

namespace tge::bench {

inline std::atomic<long> allocationCount{0};

}  // namespace tge::bench

void* operator new(std::size_t size) {
  tge::bench::allocationCount.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
