#include "app/support/jpeg_encoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

// The library's header needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace ormel::testing_support {

std::vector<std::uint8_t> encodeJpeg(int width, int height, const std::vector<std::uint8_t>& samples,
                                     JpegOptions options) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = options.components;
  info.in_color_space = options.components == 1   ? JCS_GRAYSCALE
                        : options.components == 4 ? JCS_CMYK
                                                  : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, options.quality, TRUE);
  if (options.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  const auto stride = static_cast<std::size_t>(width * options.components);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + stride * info.next_scanline);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return file;
}

std::vector<std::uint8_t> gradientSamples(int width, int height, int components) {
  std::vector<std::uint8_t> samples;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < components; ++c) {
        // At most 120 + 90 + 40: no step anywhere, so the lossy round trip stays close.
        samples.push_back(static_cast<std::uint8_t>(x * 120 / std::max(width - 1, 1) + c * 30 +
                                                    y * 40 / std::max(height - 1, 1)));
      }
    }
  }
  return samples;
}

}  // namespace ormel::testing_support
