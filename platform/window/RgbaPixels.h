// A view of caller-owned 32-bit pixels, four bytes per pixel in the order
// red, green, blue, alpha, rows top to bottom without padding. The window
// icon and the custom cursor take their images in this form, so this layer
// never decodes image files itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace tge::platform {

struct RgbaPixels {
  int width = 0;
  int height = 0;
  std::span<const std::uint8_t> bytes;

  // Icons and cursors are small; the cap keeps the row size in range.
  static constexpr int kMaxSide = 16384;

  // A size out of range, or bytes that do not cover every pixel, make the
  // image unusable; callers refuse it instead of reading past it.
  bool IsValid() const {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           bytes.size() / 4 / static_cast<std::size_t>(width) >=
               static_cast<std::size_t>(height);
  }
};

}  // namespace tge::platform
