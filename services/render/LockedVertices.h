// A whole vertex buffer locked for the life of the object, unlocked again
// when it goes. Bytes() is null when the lock failed.
#pragma once
#include <cstdint>

#include "platform/gfx/Device.h"

namespace tge {

class LockedVertices {
 public:
  LockedVertices(gfx::VertexBuffer& buffer, std::uint32_t flags) : buffer_(buffer) {
    void* data = nullptr;
    if (gfx::Succeeded(buffer_.Lock(0, 0, flags, &data))) bytes_ = static_cast<std::uint8_t*>(data);
  }
  ~LockedVertices() {
    if (bytes_) buffer_.Unlock();
  }
  LockedVertices(const LockedVertices&) = delete;
  LockedVertices& operator=(const LockedVertices&) = delete;

  std::uint8_t* Bytes() const { return bytes_; }

 private:
  gfx::VertexBuffer& buffer_;
  std::uint8_t* bytes_ = nullptr;
};

}  // namespace tge
