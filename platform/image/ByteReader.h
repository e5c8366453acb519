// Little-endian reads from a byte span that never pass its end: a read past
// it yields zero and marks the reader as failed, so a reader can check once
// after a run of fields.
#pragma once
#include <algorithm>
#include <cstdint>
#include <span>

namespace tge::image {

class ByteReader {
 public:
  // A start past the end gives a reader that has already failed.
  explicit ByteReader(std::span<const std::uint8_t> data, std::size_t position = 0)
      : data_(data), position_(std::min(position, data.size())), failed_(position > data.size()) {}

  std::uint8_t U8() { return std::uint8_t(Read(1)); }
  std::uint16_t U16() { return std::uint16_t(Read(2)); }
  std::uint32_t U32() { return std::uint32_t(Read(4)); }
  std::int32_t I32() { return std::int32_t(Read(4)); }
  void Skip(std::size_t bytes) {
    if (bytes > Remaining()) failed_ = true;
    position_ = failed_ ? data_.size() : position_ + bytes;
  }

  bool Failed() const { return failed_; }
  std::size_t Position() const { return position_; }
  std::size_t Remaining() const { return data_.size() - position_; }
  const std::uint8_t* Here() const { return data_.data() + position_; }

 private:
  std::uint64_t Read(std::size_t bytes) {
    if (bytes > Remaining()) {
      failed_ = true;
      position_ = data_.size();
      return 0;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value |= std::uint64_t(data_[position_ + i]) << (8 * i);
    position_ += bytes;
    return value;
  }

  std::span<const std::uint8_t> data_;
  std::size_t position_;
  bool failed_;
};

}  // namespace tge::image
