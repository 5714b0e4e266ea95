// The about box decodes its two pictures each time it opens; this is what that costs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/jpeg_decoder.h"
#include "base/atomic_file.h"

namespace {

std::vector<std::uint8_t> picture(const char* name) {
  std::string bytes;
  if (!ormel::readWholeFile(std::string(ORMEL_PICTURES_DIR) + "/" + name, bytes).ok) return {};
  return {bytes.begin(), bytes.end()};
}

void decode(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
  for (auto _ : state) {
    std::optional<ormel::RgbImage> image = ormel::decodeJpeg(bytes);
    if (!image) state.SkipWithError("the picture did not decode");
    benchmark::DoNotOptimize(image);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes.size()));
}

void BM_DecodeLogo(benchmark::State& state) { decode(state, picture("logo.jpg")); }
BENCHMARK(BM_DecodeLogo);

void BM_DecodeSecondPicture(benchmark::State& state) { decode(state, picture("pad.jpg")); }
BENCHMARK(BM_DecodeSecondPicture);

void BM_RefuseHalfAPicture(benchmark::State& state) {
  std::vector<std::uint8_t> bytes = picture("logo.jpg");
  bytes.resize(bytes.size() / 2);
  for (auto _ : state) benchmark::DoNotOptimize(ormel::decodeJpeg(bytes));
}
BENCHMARK(BM_RefuseHalfAPicture);

}  // namespace

BENCHMARK_MAIN();
