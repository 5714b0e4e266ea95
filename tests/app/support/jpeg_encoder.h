#pragma once

#include <cstdint>
#include <vector>

namespace ormel::testing_support {

/// How a test picture is encoded.
struct JpegOptions {
  /// 1 grey, 3 RGB, 4 CMYK.
  int components = 3;
  bool progressive = false;
  int quality = 95;
};

/// The JPEG file for a picture of width x height pixels with options.components bytes each.
[[nodiscard]] std::vector<std::uint8_t> encodeJpeg(int width, int height,
                                                   const std::vector<std::uint8_t>& samples,
                                                   JpegOptions options = {});

/// A picture of width x height pixels with smooth gradients in every component.
[[nodiscard]] std::vector<std::uint8_t> gradientSamples(int width, int height, int components);

}  // namespace ormel::testing_support
