// Appends the bytes of plain values to a growing byte buffer, as the file
// encoders of the engine and its tools write their fields (in the machine's
// own byte order, little-endian here).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace tge {

// Grows the buffer and copies into the new room. A range insert does the
// same, but GCC's overflow analysis misreads it at -O2 when the buffer's
// first allocation is small and known.
inline void AppendBytes(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
  if (size == 0) return;
  const std::size_t at = out.size();
  out.resize(at + size);
  std::memcpy(out.data() + at, data, size);
}

template <class T>
  requires std::is_trivially_copyable_v<T>
void AppendValue(std::vector<std::uint8_t>& out, const T& value) {
  AppendBytes(out, &value, sizeof value);
}

}  // namespace tge
