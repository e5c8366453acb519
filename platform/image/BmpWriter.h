// Writes an image as a 32-bit uncompressed Windows bitmap (top row first in
// memory, stored bottom-up as the format expects). Alpha is written but not
// marked as such, so readers take the pixels as opaque; the colours come
// back unchanged. Screenshots and generated textures use it.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/image/Image.h"

namespace tge::image {

// The first face of image; empty for an image without pixels or with fewer
// pixel bytes than its size needs.
std::vector<std::uint8_t> EncodeBmp(const Image& image);

}  // namespace tge::image
