// Builds small RIFF/WAVE files in memory for the audio tests.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tge::audio::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

inline void PutU32(Bytes& b, std::uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}

inline void PutChunk(Bytes& b, const char* id, const Bytes& body) {
  b.insert(b.end(), id, id + 4);
  PutU32(b, static_cast<std::uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2 != 0) b.push_back(0);
}

struct FormatFields {
  unsigned tag = 1;
  unsigned channels = 1;
  std::uint32_t rate = 8000;
  unsigned blockAlign = 2;
  unsigned bits = 16;
};

inline Bytes FormatBody(const FormatFields& f) {
  Bytes b;
  PutU16(b, f.tag);
  PutU16(b, f.channels);
  PutU32(b, f.rate);
  PutU32(b, f.rate * f.blockAlign);
  PutU16(b, f.blockAlign);
  PutU16(b, f.bits);
  return b;
}

// A RIFF/WAVE file of the given chunks, in order.
inline Bytes RiffWave(std::initializer_list<std::pair<const char*, Bytes>> chunks) {
  Bytes body{'W', 'A', 'V', 'E'};
  for (const auto& [id, chunk] : chunks) PutChunk(body, id, chunk);
  Bytes file{'R', 'I', 'F', 'F'};
  PutU32(file, static_cast<std::uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

inline Bytes Pcm16(std::initializer_list<int> samples) {
  Bytes b;
  for (int s : samples) PutU16(b, static_cast<unsigned>(s) & 0xFFFF);
  return b;
}

}  // namespace tge::audio::test
