// Feeds arbitrary bytes to the skin-file reader, as the skin of a mesh of two
// parts of 2 and 3 vertices, and checks what it accepts: every influence
// count and used bone index must be safe to skin with.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/files/SerializeStream.h"
#include "services/resources/SkinMeshResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::uint32_t kPartVertices[] = {2, 3};
  std::vector<std::uint8_t> copy(data, data + size);
  tge::SerializeStream stream;
  if (!stream.OpenMemoryBuffer(copy.size(), "rb", copy.data())) return 0;
  tge::SkinMeshFile file;
  std::string error;
  if (!tge::SerializeSkinMeshFile(stream, file, kPartVertices, error)) return 0;
  if (file.bones.size() > tge::SkinMeshFile::kMaxBones) __builtin_trap();
  for (const tge::SkinPartData& part : file.parts) {
    for (const tge::SkinVertex& v : part.vertices) {
      if (v.influences < 1 || v.influences > 4) __builtin_trap();
      for (int k = 0; k < v.influences; ++k) {
        if (v.bones[k] >= file.bones.size()) __builtin_trap();
      }
    }
  }
  return 0;
}
