// An object's file record as bytes: written from a live object, and read
// into a fresh object of a type, at a file version. Round-trip tests of the
// object types compare the bytes of a save, a load and a second save.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"

namespace tge::test {

inline std::vector<std::uint8_t> SaveRecord(Object& object, int version = SerializeStream::kLatestVersion) {
  SerializeStream out;
  EXPECT_TRUE(out.OpenMemoryBuffer(1 << 16, "wb"));
  out.SetVersion(version);
  EXPECT_TRUE(object.Serialize(out));
  const auto size = static_cast<std::size_t>(out.Tell());
  std::vector<std::uint8_t> bytes(out.GetBuffer(), out.GetBuffer() + size);
  out.Close();
  return bytes;
}

// Null when the object refused the bytes.
template <class T>
std::unique_ptr<T> LoadRecord(int classId, std::vector<std::uint8_t> bytes,
                              int version = SerializeStream::kLatestVersion) {
  std::unique_ptr<Object> loaded = CreateObject(classId, nullptr, nullptr);
  SerializeStream in;
  EXPECT_TRUE(in.OpenMemoryBuffer(bytes.size(), "rb", bytes.data()));
  in.SetVersion(version);
  if (!loaded->Serialize(in)) return nullptr;
  return std::unique_ptr<T>(static_cast<T*>(loaded.release()));
}

}  // namespace tge::test
