// A data file's bytes, kept unchanged for whichever reader wants them.
#pragma once
#include <cstdint>
#include <vector>

#include "services/resources/Resource.h"

namespace tge {

class RawFileResource : public Resource {
 public:
  static constexpr int kType = kRawFileResource;

  RawFileResource() : Resource(kType) {}

  // Reads the whole file; 0, without a message, when it cannot be opened.
  int Load() override;
  int Unload() override;

  bool IsLoaded() const { return loaded_; }
  const std::vector<std::uint8_t>& GetBytes() const { return bytes_; }

  // Stored in the library record and written back; nothing reads them.
  std::uint32_t values[2] = {0, 0};

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

 private:
  bool loaded_ = false;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace tge
