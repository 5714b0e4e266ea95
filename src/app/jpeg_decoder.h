#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ormel {

/// A picture as rows of red, green and blue bytes, the top row first.
struct RgbImage {
  int width = 0;
  int height = 0;
  /// width * height * 3 bytes.
  std::vector<std::uint8_t> pixels;
};

/// The largest picture decodeJpeg accepts by default, in pixels.
inline constexpr std::int64_t kMaxJpegPixels = std::int64_t{4096} * 4096;

/// Decodes the bytes of a JPEG file into RGB (grey pictures come back as RGB too) with the
/// library's decompression calls. Gives nothing, and the reason in *error when error is given,
/// for bytes that hold no JPEG, a damaged or truncated one (a warning of the decoder counts as
/// damage), a colour space that has no RGB form, more than maxPixels pixels or more than 500
/// scans, or when libjpeg cannot be loaded (it is loaded on the first call). Never throws, and never ends the
/// process: the library's own error handler would.
[[nodiscard]] std::optional<RgbImage> decodeJpeg(std::span<const std::uint8_t> bytes,
                                                 std::string* error = nullptr,
                                                 std::int64_t maxPixels = kMaxJpegPixels);

}  // namespace ormel
