// Feeds arbitrary bytes to the BMP, TGA, DDS, PNG and JPEG readers (the
// first byte picks one) and checks that an accepted image has the pixels its
// size says.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>

#include "platform/image/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  using Reader = bool (*)(std::span<const std::uint8_t>, tge::image::Image&, std::string&);
  constexpr Reader kReaders[] = {tge::image::DecodeBmp, tge::image::DecodeTga, tge::image::DecodeDds,
                                 tge::image::DecodePng, tge::image::DecodeJpeg};
  const Reader read = kReaders[data[0] % std::size(kReaders)];
  tge::image::Image image;
  std::string error;
  if (!read(std::span<const std::uint8_t>(data + 1, size - 1), image, error)) return 0;
  if (image.width == 0 || image.height == 0 || image.pixels.size() != image.FaceBytes() * image.faces) {
    __builtin_trap();
  }
  return 0;
}
