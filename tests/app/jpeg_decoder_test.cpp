#include "app/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/support/jpeg_encoder.h"
#include "base/atomic_file.h"
#include "support/row_name.h"

namespace ormel {
namespace {

using testing_support::encodeJpeg;
using testing_support::gradientSamples;
using testing_support::JpegOptions;
using testing_support::RowName;

// Largest difference between two sample buffers of one size.
int largestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  int largest = 0;
  for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
  return largest;
}

struct GoodRow {
  std::string name;
  int width;
  int height;
  JpegOptions options;
};

class DecodeJpegGood : public testing::TestWithParam<GoodRow> {};

TEST_P(DecodeJpegGood, GivesTheRgbPicture) {
  const GoodRow& row = GetParam();
  const std::vector<std::uint8_t> samples = gradientSamples(row.width, row.height, row.options.components);
  std::string error;
  const std::optional<RgbImage> image =
      decodeJpeg(encodeJpeg(row.width, row.height, samples, row.options), &error);
  ASSERT_TRUE(image) << error;
  EXPECT_EQ(image->width, row.width);
  EXPECT_EQ(image->height, row.height);
  ASSERT_EQ(image->pixels.size(), static_cast<std::size_t>(row.width * row.height * 3));
  std::vector<std::uint8_t> expected = samples;
  if (row.options.components == 1) {
    expected.clear();
    for (std::uint8_t grey : samples) expected.insert(expected.end(), {grey, grey, grey});
  }
  // Lossy, but at quality 95 every sample stays close to what was encoded.
  EXPECT_LE(largestDifference(image->pixels, expected), 24);
}

INSTANTIATE_TEST_SUITE_P(Rows, DecodeJpegGood,
                         testing::Values(GoodRow{"Rgb", 40, 24, {}}, GoodRow{"Grey", 33, 17, {1, false, 95}},
                                         GoodRow{"Progressive", 48, 40, {3, true, 95}},
                                         GoodRow{"OnePixel", 1, 1, {}}, GoodRow{"OddSizes", 17, 3, {}}),
                         RowName{});

std::vector<std::uint8_t> goodFile() { return encodeJpeg(32, 32, gradientSamples(32, 32, 3)); }

struct BadRow {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

class DecodeJpegBad : public testing::TestWithParam<BadRow> {};

TEST_P(DecodeJpegBad, GivesNothingAndSaysWhy) {
  std::string error;
  EXPECT_FALSE(decodeJpeg(GetParam().bytes, &error));
  EXPECT_FALSE(error.empty());
}

std::vector<std::uint8_t> truncated(std::vector<std::uint8_t> bytes, std::size_t keep) {
  bytes.resize(std::min(keep, bytes.size()));
  return bytes;
}

std::vector<std::uint8_t> withScanDamaged(std::vector<std::uint8_t> bytes) {
  // Markers inside the entropy-coded data of the only scan: the decoder warns of corrupt data.
  for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 8; ++i) bytes[i] = 0xFF;
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecodeJpegBad,
    testing::Values(BadRow{"Empty", {}}, BadRow{"NotAJpeg", {'G', 'I', 'F', '8', '9', 'a', 0, 0}},
                    BadRow{"OnlyTheStartMarker", {0xFF, 0xD8}},
                    BadRow{"HeaderCutShort", truncated(goodFile(), 60)},
                    BadRow{"DataCutShort", truncated(goodFile(), goodFile().size() / 2)},
                    BadRow{"DamagedScan", withScanDamaged(goodFile())},
                    BadRow{"Cmyk", encodeJpeg(8, 8, gradientSamples(8, 8, 4), {4, false, 90})}),
    RowName{});

TEST(DecodeJpeg, RefusesAPictureLargerThanAllowedBeforeDecodingIt) {
  std::string error;
  EXPECT_FALSE(decodeJpeg(goodFile(), &error, 32 * 32 - 1));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_TRUE(decodeJpeg(goodFile(), nullptr, 32 * 32));
}

TEST(DecodeJpeg, DecodesTheAboutBoxPictures) {
  struct Picture {
    const char* file;
    int width;
    int height;
  };
  for (const Picture& picture : {Picture{"logo.jpg", 116, 88}, Picture{"pad.jpg", 100, 96}}) {
    std::string bytes;
    ASSERT_TRUE(readWholeFile(std::string(ORMEL_PICTURES_DIR) + "/" + picture.file, bytes).ok)
        << picture.file;
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::string error;
    const std::optional<RgbImage> image = decodeJpeg(data, &error);
    ASSERT_TRUE(image) << picture.file << ": " << error;
    EXPECT_EQ(image->width, picture.width) << picture.file;
    EXPECT_EQ(image->height, picture.height) << picture.file;
  }
}

}  // namespace
}  // namespace ormel
