// Fuzzes the stream as a loader driven by corrupt data would use it: the
// input is both program and data. Each step reads an operation byte from the
// stream, then reads values of the kind it names; strings and words read are
// written back into a small fixed buffer, as a save game would.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/files/SerializeStream.h"

namespace {

struct Scratch {
  struct Triple {
    float x, y, z;
  } triple{};
  std::string text;
  std::array<std::uint32_t, 8> dwords{};
  std::array<std::uint16_t, 8> words{};
  std::array<std::uint8_t, 16> bytes{};
};

void Step(std::uint8_t op, tge::SerializeStream& in, tge::SerializeStream& out, Scratch& s) {
  auto& [triple, text, dwords, words, bytes] = s;
  const std::size_t count = (op >> 3) % 8 + 1;
  switch (op & 7) {
    case 0: in.SerializeString(text); out.SerializeString(text); break;
    case 1: in.SerializeDwords(dwords.data(), count); break;
    case 2: in.SerializeWords(words.data(), count); out.SerializeWords(words.data(), count); break;
    case 3: in.SerializeBytes(bytes.data(), count * 2); break;
    case 4: {
      std::int32_t offset = 0;
      in.SerializeDword(&offset);
      in.Seek(offset, static_cast<int>(op >> 6));
      break;
    }
    case 5: in.Read(bytes.data(), count); break;
    case 6: in.Serialize(triple); out.Serialize(triple); break;
    default:
      if (in.Tell() < 0 || in.Tell() > in.GetSize()) __builtin_trap();
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> input(data, data + size);
  std::array<std::uint8_t, 64> saved{};
  Scratch scratch;
  tge::SerializeStream in, out;
  in.OpenMemoryBuffer(input.size(), "rb", input.data());
  out.OpenMemoryBuffer(saved.size(), "wb", saved.data());
  for (int step = 0; step < 256; ++step) {
    std::uint8_t op = 0;
    if (in.SerializeBytes(&op, 1) != 1) break;
    Step(op, in, out, scratch);
  }
  return 0;
}
