// Arbitrary bytes into the JPEG decoder: it must never crash, hang or end the process, and a
// picture it gives must be whole and the same on every decoding of the same bytes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/jpeg_decoder.h"

namespace {

// Keeps each run fast; the size check itself is what a larger limit would exercise.
constexpr std::int64_t kFuzzMaxPixels = std::int64_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  std::string error;
  const std::optional<ormel::RgbImage> image = ormel::decodeJpeg(bytes, &error, kFuzzMaxPixels);
  if (!image) {
    if (error.empty()) std::abort();
    return 0;
  }
  const std::int64_t pixels = std::int64_t{image->width} * image->height;
  if (image->width <= 0 || image->height <= 0 || pixels > kFuzzMaxPixels) std::abort();
  if (image->pixels.size() != static_cast<std::size_t>(pixels) * 3) std::abort();
  const std::optional<ormel::RgbImage> again = ormel::decodeJpeg(bytes, nullptr, kFuzzMaxPixels);
  if (!again || again->width != image->width || again->height != image->height ||
      again->pixels != image->pixels) {
    std::abort();
  }
  return 0;
}
