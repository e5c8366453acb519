// Bulk read throughput of the stream from the memory back-end (opened once,
// rewound each time), against a plain memcpy of the same bytes; and the per-value cost of dword reads, the
// way type serialisers read.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/files/SerializeStream.h"

namespace {

std::vector<std::uint8_t> Source(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
  return bytes;
}

void BM_MemcpyBulk(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> source = Source(size), target(size);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), size);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MemcpyBulk)->Arg(4 << 10)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20);

void BM_StreamBulkRead(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> source = Source(size), target(size);
  tge::SerializeStream stream;
  stream.OpenMemoryBuffer(size, "rb", source.data());
  for (auto _ : state) {
    stream.Seek(0, tge::kSeekStart);
    stream.SerializeBytes(target.data(), size);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StreamBulkRead)->Arg(4 << 10)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20);

void BM_StreamDwordReads(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  std::vector<std::uint8_t> source = Source(size);
  tge::SerializeStream stream;
  stream.OpenMemoryBuffer(size, "rb", source.data());
  std::uint32_t value = 0;
  for (auto _ : state) {
    stream.Seek(0, tge::kSeekStart);
    for (std::size_t i = 0; i < size / 4; ++i) stream.SerializeDword(&value);
    benchmark::DoNotOptimize(value);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StreamDwordReads)->Arg(64 << 10);

}  // namespace

BENCHMARK_MAIN();
