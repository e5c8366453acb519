// JPEG through libjpeg, read from memory. libjpeg reports errors by calling
// error_exit, which here jumps back into DecodeInto (a frame without C++
// objects) instead of ending the process; the message is kept for the error
// text. libjpeg hands CMYK (and YCCK) files over as CMYK, which is turned
// into colour here; files with an Adobe marker store the inks inverted, as
// the tools that write it do.
#include <cstdio>
#include <csetjmp>
#include <jpeglib.h>

#include "platform/image/Image.h"

namespace tge::image {
namespace {

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  errors->manager.format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr) {}

// CMYK pixels, 4 bytes each, become blue, green, red and opaque alpha in place.
void CmykToBgra(std::uint8_t* row, std::uint32_t width, bool inverted) {
  for (std::uint32_t x = 0; x < width; ++x, row += 4) {
    std::uint32_t ink[4];
    for (int i = 0; i < 4; ++i) ink[i] = inverted ? row[i] : 255u - row[i];
    const std::uint32_t k = ink[3];
    row[0] = std::uint8_t(ink[2] * k / 255);
    row[1] = std::uint8_t(ink[1] * k / 255);
    row[2] = std::uint8_t(ink[0] * k / 255);
    row[3] = 255;
  }
}

bool DecodeInto(jpeg_decompress_struct& info, JpegErrors& errors,
                std::span<const std::uint8_t> data, Image& image, std::string& error) {
  if (setjmp(errors.jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  if (info.image_width > kMaxSide || info.image_height > kMaxSide ||
      !AllocateImage(image, info.image_width, info.image_height, 1, error)) {
    if (error.empty()) error = "JPEG: image too large";
    return false;
  }
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.pixels.data() + std::size_t(info.output_scanline) * image.width * 4;
    jpeg_read_scanlines(&info, &row, 1);
    if (cmyk) CmykToBgra(row, image.width, info.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

bool DecodeJpeg(std::span<const std::uint8_t> data, Image& image, std::string& error) {
  if (data.empty()) {
    error = "JPEG: no data";
    return false;
  }
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = OnErrorExit;
  errors.manager.output_message = OnMessage;
  std::string sizeError;
  const bool ok = DecodeInto(info, errors, data, image, sizeError);
  jpeg_destroy_decompress(&info);
  if (!ok) error = sizeError.empty() ? "JPEG: " + std::string(errors.message) : sizeError;
  return ok;
}

}  // namespace tge::image
