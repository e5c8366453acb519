// PNG through libpng, read from memory. libpng reports errors by a long jump
// back into DecodeInto, whose frame owns no C++ objects; the caller's
// objects (the image, the row pointers) live outside it and are freed by
// their owners either way. Warnings are dropped.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/image/Image.h"

namespace tge::image {
namespace {

struct PngSource {
  std::span<const std::uint8_t> data;
  std::size_t position = 0;
  char message[128] = {};
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->data.size() - source->position) png_error(png, "truncated data");
  std::memcpy(out, source->data.data() + source->position, length);
  source->position += length;
}

void OnError(png_structp png, png_const_charp message) {
  auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
  std::snprintf(source->message, sizeof source->message, "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Every format becomes 8-bit blue, green, red, alpha.
void RequestBgra(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  png_set_strip_16(png);
  png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

// Returns false with source.message set on any libpng error.
bool DecodeInto(png_structp png, png_infop info, PngSource& source, Image& image,
                std::vector<png_bytep>& rows, std::string& error) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &source, ReadFromMemory);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);
  RequestBgra(png, info);
  if (!AllocateImage(image, png_get_image_width(png, info), png_get_image_height(png, info), 1,
                     error) ||
      png_get_rowbytes(png, info) != std::size_t(image.width) * 4) {
    std::snprintf(source.message, sizeof source.message, "%s", "unsupported layout");
    return false;
  }
  rows.resize(image.height);
  for (std::uint32_t y = 0; y < image.height; ++y) rows[y] = image.pixels.data() + std::size_t(y) * image.width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

bool DecodePng(std::span<const std::uint8_t> data, Image& image, std::string& error) {
  PngSource source{data, 0, {}};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnError, OnWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = "PNG: out of memory";
    return false;
  }
  std::vector<png_bytep> rows;
  std::string sizeError;
  const bool ok = DecodeInto(png, info, source, image, rows, sizeError);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) error = sizeError.empty() ? "PNG: " + std::string(source.message) : sizeError;
  return ok;
}

}  // namespace tge::image
